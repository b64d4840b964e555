// The Japanese sentence for each cause of a failed load.
#include "window/FileErrorText.h"

#include "window/QtText.h"

namespace quorlet3 {

QString FileErrorCauseText(const LogFileError& error) {
    switch (error.Cause()) {
        case LogFileCause::NotFound:
            return QStringLiteral("ファイルが見つかりません。");
        case LogFileCause::NoPermission:
            return QStringLiteral("ファイルを読む権限がありません。");
        case LogFileCause::NotRegularFile:
            return QStringLiteral("フォルダーなどで、通常のファイルではありません。");
        case LogFileCause::ReadError:
            return QStringLiteral("読み込みの途中でエラーが起きました。");
        case LogFileCause::SymlinkLoop:
            return QStringLiteral("シンボリックリンクが循環していて、ファイルにたどり着けません。");
        case LogFileCause::NoDataWithoutWaiting:
            return QStringLiteral("すぐに読めるデータがない装置や端末なので、読み込めません。");
        case LogFileCause::NoDevice:
            return QStringLiteral("装置やソケットなど、ファイルとして開けないものです。");
        case LogFileCause::DeviceError:
            return QStringLiteral("装置との入出力でエラーが起きました。");
        case LogFileCause::NameTooLong:
            return QStringLiteral("ファイル名かフォルダー名が長すぎます。");
        case LogFileCause::TooManyOpenFiles:
            return QStringLiteral("開いているファイルが多すぎて、これ以上開けません。");
        case LogFileCause::OutOfMemory:
            return QStringLiteral("メモリーが足りません。");
        case LogFileCause::FileShrank:
            return QStringLiteral("読み込みの途中でファイルが短くなりました。");
        case LogFileCause::Other:
            break;
    }
    if (error.ErrorNumber() != 0) {
        return QStringLiteral("システムのエラー（番号 %1）で読み込めませんでした。").arg(error.ErrorNumber());
    }
    return QStringLiteral("原因の分からないエラーで読み込めませんでした。");
}

QString FileErrorText(const LogFileError& error) {
    // The path is named once, in the first line; the cause follows in a sentence of its own.
    return QStringLiteral("ファイル %1 を読み込めませんでした。\n%2")
        .arg(PathToQString(error.Path()), FileErrorCauseText(error));
}

}  // namespace quorlet3
