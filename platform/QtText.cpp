// Text for the Qt layer: decoding at the display edge and the dialog font.
#include "platform/QtText.h"

#include <QFile>

#include "platform/Cp932.h"

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

QString PathToQString(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

QFont DialogFont() { return QFont(DialogFontFamily(), 9); }

void InstallDialogFontSubstitute() { QFont::insertSubstitution(DialogFontFamily(), QStringLiteral("IPAPGothic")); }

}  // namespace quorlet3
