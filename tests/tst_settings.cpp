#include "data/Errors.h"
#include "data/F_Conf.h"
#include "settings/Registro.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>

#include <memory>

namespace
{

// How the store file is prepared before a case runs.
enum class TStore { Missing, File, Unreadable, Folder, ConfigIsFile };

const char* const WriterOption = "--scrivi";

QString ConfigRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString StoreFile()
{
    return ConfigRoot() + QStringLiteral("/KORVANEX/Sormelin.ini");
}

QByteArray FileBytes(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lays out the store as a person or a failure left it; false when that cannot be done.
bool PrepareStore(TStore store, const QByteArray& content)
{
    if (store == TStore::ConfigIsFile) {
        QFile file(ConfigRoot());
        return file.open(QIODevice::WriteOnly);
    }
    QDir().mkpath(QFileInfo(StoreFile()).path());
    if (store == TStore::Folder)
        return QDir().mkpath(StoreFile());
    if (store == TStore::Missing)
        return true;
    QFile file(StoreFile());
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return false;
    file.close();
    if (store == TStore::Unreadable)
        return file.setPermissions(QFileDevice::Permissions()) && !file.open(QIODevice::ReadOnly);
    return true;
}

// Mode 000 does not stop root from reading: that case is skipped there, the folder case still runs.
#define PREPARE_STORE(store, content)                                                                        \
    if (!PrepareStore(store, content)) {                                                                     \
        if (store == TStore::Unreadable)                                                                     \
            QSKIP("this user (root) reads files of mode 000; the folder case covers an unreadable store");   \
        QFAIL("the store could not be prepared");                                                            \
    }

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_home = std::make_unique<TTempHome>(); }
    void cleanup() { m_home.reset(); }

    void read_data();
    void read();
    void writeThenRead_data();
    void writeThenRead();
    void writeReplacesEveryCaseVariant();
    void writeFromAnotherProcessIsSeen();
    void failedWriteIsSilent_data();
    void failedWriteIsSilent();

private:
    std::unique_ptr<TTempHome> m_home;
};

void TestSettings::read_data()
{
    QTest::addColumn<TStore>("store");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("error");

    const QString anno = QStringLiteral("Anno");
    const QString invalid = QStringLiteral("Invalid data type for 'Anno'");
    const QString failed = QStringLiteral("Failed to get data for 'Anno'");
    QTest::newRow("no store file") << TStore::Missing << QByteArray() << anno << QString() << QString();
    QTest::newRow("name not stored") << TStore::File << QByteArray("[General]\nPathPrg=/opt/\n") << anno
                                     << QString() << QString();
    QTest::newRow("empty value") << TStore::File << QByteArray("[General]\nAnno=\n") << anno << QString()
                                 << QString();
    QTest::newRow("stored in capitals") << TStore::File << QByteArray("[General]\nANNO=2011\n") << anno
                                        << QStringLiteral("2011") << QString();
    QTest::newRow("read in lower case") << TStore::File << QByteArray("[General]\nAnno=2011\n")
                                        << QStringLiteral("anno") << QStringLiteral("2011") << QString();
    QTest::newRow("two spellings: the exact one")
        << TStore::File << QByteArray("[General]\nANNO=2010\nAnno=2011\n") << anno << QStringLiteral("2011")
        << QString();
    QTest::newRow("cut at the zero character") << TStore::File << QByteArray("[General]\nAnno=20\\0 11\n")
                                               << anno << QStringLiteral("20") << QString();
    QTest::newRow("comma typed by hand")
        << TStore::File << QByteArray("[General]\nAnno=/home/u/Dati, 2011/\n") << anno
        << QStringLiteral("/home/u/Dati, 2011/") << QString();
    QTest::newRow("byte array") << TStore::File << QByteArray("[General]\nAnno=@ByteArray(2011)\n") << anno
                                << QString() << invalid;
    QTest::newRow("variant (a date)")
        << TStore::File << QByteArray("[General]\nAnno=@Variant(\\0\\0\\0\\xe\\0%v\\x9f)\n") << anno
        << QString() << invalid;
    QTest::newRow("a group") << TStore::File << QByteArray("[General]\nConf=OK\n[anno]\nx=1\n") << anno
                             << QString() << invalid;
    QTest::newRow("malformed file") << TStore::File << QByteArray("[General\nAnno=2011\n") << anno
                                    << QString() << failed;
    QTest::newRow("unreadable file") << TStore::Unreadable << QByteArray("[General]\nAnno=2011\n") << anno
                                     << QString() << failed;
    QTest::newRow("store path is a folder") << TStore::Folder << QByteArray() << anno << QString() << failed;
}

void TestSettings::read()
{
    QFETCH(TStore, store);
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QFETCH(QString, error);
    PREPARE_STORE(store, content);

    const TFConf conf;
    try {
        const QString value = conf.LeggiReg(ChiaveReg, name);
        QVERIFY2(error.isEmpty(), "no error raised");
        QCOMPARE(value, expected);
    } catch (const ERegistryError& e) {
        QCOMPARE(QString::fromUtf8(e.what()), error);
    }
}

void TestSettings::writeThenRead_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("value");

    const QString main = QStringLiteral("KORVANEX/Sormelin.ini");
    QTest::newRow("year") << ChiaveReg << main << QStringLiteral("2011");
    QTest::newRow("nested key") << QStringLiteral("KORVANEX\\Prova\\Sub\\")
                                << QStringLiteral("KORVANEX/Prova/Sub.ini") << QStringLiteral("2011");
    QTest::newRow("comma") << ChiaveReg << main << QStringLiteral("/home/u/Dati, vecchi/");
    QTest::newRow("backslashes") << ChiaveReg << main << QStringLiteral("C:\\Dati\\");
    QTest::newRow("outer blanks") << ChiaveReg << main << QStringLiteral("  2011  ");
    QTest::newRow("accents") << ChiaveReg << main << QStringLiteral("Città più è");
    QTest::newRow("INI punctuation") << ChiaveReg << main << QStringLiteral("a=b;c#d[e]\"f\"");
    QTest::newRow("looks like a byte array") << ChiaveReg << main << QStringLiteral("@ByteArray(x)");
    QTest::newRow("empty (null pointer)") << ChiaveReg << main << QString();
}

void TestSettings::writeThenRead()
{
    QFETCH(QString, key);
    QFETCH(QString, file);
    QFETCH(QString, value);

    ScriviReg(key, QStringLiteral("PathDatiGen"), value);

    QVERIFY(QFileInfo(ConfigRoot() + QLatin1Char('/') + file).isFile());
    QCOMPARE(TFConf().LeggiReg(key, QStringLiteral("PathDatiGen")), value);
}

void TestSettings::writeReplacesEveryCaseVariant()
{
    QVERIFY(PrepareStore(TStore::File, "[General]\nANNO=2009\nanno=2010\nDBNortav=Nortav.DB\n"));

    ScriviReg(ChiaveReg, QStringLiteral("Anno"), QStringLiteral("2011"));

    QSettings stored(StoreFile(), QSettings::IniFormat);
    QCOMPARE(stored.childKeys(), (QStringList{QStringLiteral("Anno"), QStringLiteral("DBNortav")}));
    QCOMPARE(TFConf().LeggiReg(ChiaveReg, QStringLiteral("ANNO")), QStringLiteral("2011"));
}

// Values of one length written at once: a read that trusted size or time stamp would miss the change.
void TestSettings::writeFromAnotherProcessIsSeen()
{
    const TFConf conf;
    ScriviReg(ChiaveReg, QStringLiteral("Anno"), QStringLiteral("2010"));
    QCOMPARE(conf.LeggiReg(ChiaveReg, QStringLiteral("Anno")), QStringLiteral("2010"));

    for (const QString& year : {QStringLiteral("2011"), QStringLiteral("2012")}) {
        const QStringList args{QLatin1String(WriterOption), ChiaveReg, QStringLiteral("Anno"), year};
        QCOMPARE(QProcess::execute(QCoreApplication::applicationFilePath(), args), 0);
        QCOMPARE(conf.LeggiReg(ChiaveReg, QStringLiteral("Anno")), year);
    }
}

void TestSettings::failedWriteIsSilent_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<TStore>("store");
    QTest::addColumn<QByteArray>("content");

    const QByteArray stored("[General]\nAnno=2010\n");
    QTest::newRow("no key (null pointer)") << QString() << TStore::File << stored;
    QTest::newRow("config folder is a file") << ChiaveReg << TStore::ConfigIsFile << QByteArray();
    QTest::newRow("store path is a folder") << ChiaveReg << TStore::Folder << QByteArray();
    QTest::newRow("malformed file kept") << ChiaveReg << TStore::File << QByteArray("[General\nAnno=2010\n");
    QTest::newRow("unreadable file kept") << ChiaveReg << TStore::Unreadable << stored;
}

void TestSettings::failedWriteIsSilent()
{
    QFETCH(QString, key);
    QFETCH(TStore, store);
    QFETCH(QByteArray, content);
    PREPARE_STORE(store, content);

    ScriviReg(key, QStringLiteral("Anno"), QStringLiteral("2011"));

    QFile::setPermissions(StoreFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(FileBytes(StoreFile()), content);
    QCOMPARE(QFileInfo(StoreFile()).isDir(), store == TStore::Folder);
}

// Run with WriterOption key name value, the test program is the second process that writes a setting.
int main(int argc, char** argv)
{
    if (argc == 5 && qstrcmp(argv[1], WriterOption) == 0) {
        ScriviReg(argv[2], argv[3], argv[4]);
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings.moc"
