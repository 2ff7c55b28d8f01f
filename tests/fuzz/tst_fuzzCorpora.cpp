#include <QDir>
#include <QFile>
#include <QTest>

#include "dvtFuzz.h"

using namespace Qt::StringLiterals;

namespace {

using Target = int (*)(const uint8_t *, size_t);

// Each fuzz target with the folder of its corpus under DVT_FUZZ_CORPORA.
const struct
{
    const char *name;
    Target target;
} targets[] = {
    {"format", dvt::fuzz::fuzzFormat},
    {"formatDateTime", dvt::fuzz::fuzzFormatDateTime},
    {"strToDateTime", dvt::fuzz::fuzzStrToDateTime},
    {"strToFloat", dvt::fuzz::fuzzStrToFloat},
    {"dvStrToNumber", dvt::fuzz::fuzzDvStrToNumber},
    {"deCrypt", dvt::fuzz::fuzzDeCrypt},
    {"iniFile", dvt::fuzz::fuzzIniFile},
    {"keptValues", dvt::fuzz::fuzzKeptValues},
    {"import", dvt::fuzz::fuzzImport},
};

} // namespace

Q_DECLARE_METATYPE(Target)

// Replays every input the fuzzers kept: each must pass its target's checks.
class tst_fuzzCorpora : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("fileName");
        for (const auto &t : targets) {
            const QDir corpus(QStringLiteral(DVT_FUZZ_CORPORA "/") + QLatin1String(t.name));
            const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
            // A target without a corpus is a row that fails.
            if (files.isEmpty())
                QTest::addRow("%s: no corpus", t.name) << t.target << QString();
            for (const QString &file : files) {
                QTest::addRow("%s/%s", t.name, qPrintable(file))
                    << t.target << corpus.filePath(file);
            }
        }
    }

    void replay()
    {
        QFETCH(Target, target);
        QFETCH(QString, fileName);
        QFile file(fileName);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(fileName));
        const QByteArray input = file.readAll();
        try {
            target(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
        } catch (const std::exception &e) {
            QFAIL(e.what());
        }
    }
};

QTEST_GUILESS_MAIN(tst_fuzzCorpora)
#include "tst_fuzzCorpora.moc"
