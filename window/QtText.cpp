// Text for the Qt layer: decoding at the display edge and the dialog font.
#include "window/QtText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringDecoder>
#include <QTranslator>

#include "encoding/Cp932.h"

namespace quorlet3 {
namespace {

const QString& DialogFontFamily() {
    static const QString family = QStringLiteral("ＭＳ Ｐゴシック");
    return family;
}

}  // namespace

QString Cp932ToQString(std::string_view cp932) {
    const std::string utf8 = DecodeCp932ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString PathToQString(const std::string& path) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(path.data(), static_cast<qsizetype>(path.size())));
    if (!utf8.hasError()) {
        return text;
    }
    // Names copied from Windows machines keep their cp932 bytes.
    return Cp932ToQString(path);
}

QString PathToMarkedQString(const std::string& path) {
    QString shown = PathToQString(path);
    if (!QUtf8StringView(path).isValidUtf8()) {
        shown += QStringLiteral("　（Shift_JIS）");
    }
    return shown;
}

QFont DialogFont() { return QFont(DialogFontFamily(), 9); }

QString ControlPicturesFamily() { return QStringLiteral("Symbola"); }

QFont ReportFont() {
    QFont font = DialogFont();
    // The dialog font's substitute is named as well: a family list skips the substitution,
    // and every character would come from the symbol font otherwise.
    font.setFamilies({DialogFontFamily(), QStringLiteral("IPAPGothic"), ControlPicturesFamily()});
    return font;
}

bool InstallJapaneseQtTexts() {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    static QTranslator translator;
    if (!translator.isEmpty()) {
        return true;
    }
    if (!translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return QCoreApplication::installTranslator(&translator);
}

void InstallDialogFontSubstitute() { QFont::insertSubstitution(DialogFontFamily(), QStringLiteral("IPAPGothic")); }

}  // namespace quorlet3
