// Text for the Qt layer: cp932 report bytes and file-system paths as QString, and the dialog font.
#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <string_view>

namespace quorlet3 {

// Decodes cp932 bytes for display, with the same characters (and U+FFFD for every
// invalid byte) as the command-line tool prints.
QString Cp932ToQString(std::string_view cp932);

// A path as the file system spells it, for display: UTF-8 when it is valid UTF-8,
// else decoded as cp932 (names made on Windows).
QString PathToQString(const std::string& path);

// A path as the window shows it alone (the file-name box, the recent-file list): as
// PathToQString, with "　（Shift_JIS）" after a path that is not UTF-8, as the file dialog
// marks such names, so that it is told apart from the UTF-8 name of the same text.
QString PathToMarkedQString(const std::string& path);

// Loads Qt's own Japanese texts (the buttons of message boxes, the file dialog's labels)
// and makes Japanese the default locale. Returns false when the translation (qtbase_ja.qm)
// is not installed; the texts then stay English. Needs the application object.
bool InstallJapaneseQtTexts();

// The 9-point dialog font every form and dialog uses. Its family is the Japanese
// proportional Gothic the layouts were measured with.
QFont DialogFont();

// The family that draws the Control Pictures block (U+2400..), such as the symbol the
// result box shows for a lone CR; the package depends on the font that has it.
QString ControlPicturesFamily();

// The font of the result box: the dialog font, with the Control Pictures family behind
// it for the symbols the dialog font lacks.
QFont ReportFont();

// Maps that family to the installed IPAPGothic, which has the same metrics; fontconfig
// does not alias it. Call once before the first widget is built.
void InstallDialogFontSubstitute();

}  // namespace quorlet3
