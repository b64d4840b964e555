// The message of a failed load: whatever the system's errno, the cause reads as one
// Japanese sentence, and the causes a user meets on a desktop are told apart.
#include <unistd.h>

#include <QtTest>
#include <cerrno>

#include "logstore/LogLoader.h"
#include "tests/support/TestLog.h"
#include "window/FileErrorText.h"

using namespace quorlet3;
using quorlet3::test::TempDir;

namespace {

// True when the text holds a run of ASCII letters, i.e. an English word or an errno name.
bool HasAsciiWord(const QString& text) {
    for (const QChar c : text) {
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))) {
            return true;
        }
    }
    return false;
}

// The error the loader raises for a failed open or read with that errno.
LogFileError OpenError(int error) {
    return LogFileError("/tmp/x.log", "cannot open: ...", OpenFailureCause(error), error);
}
LogFileError ReadError(int error) {
    return LogFileError("/tmp/x.log", "cannot read: ...", ReadFailureCause(error), error);
}

// The second line of the window's message for a real load of path.
QString CauseOfLoading(const std::string& path) {
    try {
        LoadLineStore(path);
    } catch (const LogFileError& error) {
        const QString text = FileErrorText(error);
        return text.section(QLatin1Char('\n'), 1);
    }
    return QStringLiteral("(loaded)");
}

}  // namespace

class LoadErrorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyCauseIsOneJapaneseSentence_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("reading");
        QTest::addColumn<QString>("sentence");  // empty: any Japanese sentence will do
        const QString loop = QStringLiteral("シンボリックリンクが循環していて、ファイルにたどり着けません。");
        const QString noData = QStringLiteral("すぐに読めるデータがない装置や端末なので、読み込めません。");
        const QString device = QStringLiteral("装置やソケットなど、ファイルとして開けないものです。");
        QTest::newRow("open ELOOP") << ELOOP << false << loop;
        QTest::newRow("open EAGAIN") << EAGAIN << false << noData;
        QTest::newRow("open EWOULDBLOCK") << EWOULDBLOCK << false << noData;
        QTest::newRow("open EACCES") << EACCES << false << QStringLiteral("ファイルを読む権限がありません。");
        QTest::newRow("open EPERM") << EPERM << false << QStringLiteral("ファイルを読む権限がありません。");
        QTest::newRow("open ENOENT") << ENOENT << false << QStringLiteral("ファイルが見つかりません。");
        QTest::newRow("open ENOTDIR") << ENOTDIR << false << QStringLiteral("ファイルが見つかりません。");
        QTest::newRow("open EISDIR") << EISDIR << false
                                     << QStringLiteral("フォルダーなどで、通常のファイルではありません。");
        QTest::newRow("open ENXIO") << ENXIO << false << device;
        QTest::newRow("open ENODEV") << ENODEV << false << device;
        QTest::newRow("open EIO") << EIO << false << QStringLiteral("装置との入出力でエラーが起きました。");
        QTest::newRow("open ENAMETOOLONG") << ENAMETOOLONG << false << QString();
        QTest::newRow("open EMFILE") << EMFILE << false << QString();
        QTest::newRow("open ENFILE") << ENFILE << false << QString();
        QTest::newRow("open ENOMEM") << ENOMEM << false << QString();
        QTest::newRow("open EOVERFLOW") << EOVERFLOW << false << QString();
        QTest::newRow("open EINVAL") << EINVAL << false << QString();
        QTest::newRow("open EBADMSG")
            << EBADMSG << false << QStringLiteral("システムのエラー（番号 %1）で読み込めませんでした。").arg(EBADMSG);
        QTest::newRow("open unknown errno") << 4095 << false << QString();
        QTest::newRow("open no errno") << 0 << false << QString();
        QTest::newRow("read EAGAIN") << EAGAIN << true << noData;
        QTest::newRow("read EWOULDBLOCK") << EWOULDBLOCK << true << noData;
        QTest::newRow("read EIO") << EIO << true << QStringLiteral("読み込みの途中でエラーが起きました。");
        QTest::newRow("read EISDIR") << EISDIR << true
                                     << QStringLiteral("フォルダーなどで、通常のファイルではありません。");
        QTest::newRow("read ENXIO") << ENXIO << true << device;
        QTest::newRow("read EINVAL") << EINVAL << true << QStringLiteral("読み込みの途中でエラーが起きました。");
        QTest::newRow("read EFAULT") << EFAULT << true << QString();
        QTest::newRow("read ENOMEM") << ENOMEM << true << QStringLiteral("メモリーが足りません。");
    }

    void everyCauseIsOneJapaneseSentence() {
        QFETCH(int, error);
        QFETCH(bool, reading);
        QFETCH(QString, sentence);
        const QString text = FileErrorText(reading ? ReadError(error) : OpenError(error));
        QCOMPARE(text.count(QLatin1Char('\n')), 1);
        QCOMPARE(text.section(QLatin1Char('\n'), 0, 0), QStringLiteral("ファイル /tmp/x.log を読み込めませんでした。"));
        const QString cause = text.section(QLatin1Char('\n'), 1);
        QVERIFY2(!HasAsciiWord(cause), qPrintable(cause));
        QVERIFY2(cause.endsWith(QStringLiteral("。")) && cause.count(QStringLiteral("。")) == 1, qPrintable(cause));
        QVERIFY2(cause.size() > 5, qPrintable(cause));
        if (!sentence.isEmpty()) {
            QCOMPARE(cause, sentence);
        }
    }

    // Every cause the loader can name has its own sentence, so that none is mistaken for another.
    void causesAreToldApart() {
        const LogFileCause causes[] = {LogFileCause::NotFound,       LogFileCause::NoPermission,
                                       LogFileCause::NotRegularFile, LogFileCause::ReadError,
                                       LogFileCause::SymlinkLoop,    LogFileCause::NoDataWithoutWaiting,
                                       LogFileCause::NoDevice,       LogFileCause::DeviceError,
                                       LogFileCause::NameTooLong,    LogFileCause::TooManyOpenFiles,
                                       LogFileCause::OutOfMemory,    LogFileCause::FileShrank,
                                       LogFileCause::Other};
        QSet<QString> sentences;
        for (const LogFileCause cause : causes) {
            const QString text = FileErrorCauseText(LogFileError("x", "y", cause, EBADMSG));
            QVERIFY2(!HasAsciiWord(text), qPrintable(text));
            sentences.insert(text);
        }
        QCOMPARE(sentences.size(), int(std::size(causes)));
    }

    // The two cases the trial met, loaded for real: a symbolic link that points at itself,
    // and a device that has nothing to read without waiting.
    void realLoadsNameTheirCause() {
        TempDir folder;
        const std::string loop = folder.PathOf("loop.log");
        QCOMPARE(::symlink("loop.log", loop.c_str()), 0);
        QCOMPARE(CauseOfLoading(loop),
                 QStringLiteral("シンボリックリンクが循環していて、ファイルにたどり着けません。"));
        QCOMPARE(CauseOfLoading("/dev/ptmx"),
                 QStringLiteral("すぐに読めるデータがない装置や端末なので、読み込めません。"));
    }
};

QTEST_MAIN(LoadErrorTest)
#include "LoadErrorTest.moc"
