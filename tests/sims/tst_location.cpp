// Finding the installed simulators and the folder of one of them.

#include "sims/location.h"
#include "support/librarybuilder.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstLocation : public QObject
{
    Q_OBJECT

private slots:
    void detectionAndLookup_data()
    {
        QTest::addColumn<QList<Installation>>("installed");
        QTest::addColumn<QString>("valueName");     // the spelling of the stored values, "" for the usual
        QTest::addColumn<QList<qint32>>("lookups"); // simulator types looked up, in order
        QTest::addColumn<QList<Sim>>("found");
        QTest::addColumn<QString>("path");
        const Installation fs2000{Sim::FS2000, u"C:\\FS2000"_s};
        const Installation fs2002{Sim::FS2002, u"C:\\FS2002"_s};
        const Installation cfs2{Sim::CFS2, u"C:\\CFS2"_s};
        QTest::newRow("a trailing backslash is dropped")
            << QList<Installation>{{Sim::CFS2, u"C:\\CFS2\\"_s}} << QString() << QList<qint32>{2}
            << QList<Sim>{Sim::CFS2} << u"C:\\CFS2"_s;
        QTest::newRow("only one backslash is dropped")
            << QList<Installation>{{Sim::FS2000, u"C:\\FS2000\\\\"_s}} << QString() << QList<qint32>{0}
            << QList<Sim>{Sim::FS2000} << u"C:\\FS2000\\"_s;
        QTest::newRow("all three") << QList<Installation>{fs2000, fs2002, cfs2} << QString()
                                   << QList<qint32>{0} << QList<Sim>{Sim::FS2000, Sim::FS2002, Sim::CFS2}
                                   << u"C:\\FS2000"_s;
        // Names compare without regard to case, so "PATH" is the FS2000 value and no other.
        QTest::newRow("upper-case names") << QList<Installation>{fs2000, fs2002, cfs2} << u"PATH"_s
                                          << QList<qint32>{0} << QList<Sim>{Sim::FS2000} << u"C:\\FS2000"_s;
        QTest::newRow("other spelling")
            << QList<Installation>{fs2002, cfs2} << u"exe PATH"_s << QList<qint32>{1}
            << QList<Sim>{Sim::FS2002, Sim::CFS2} << u"C:\\FS2002"_s;
        QTest::newRow("an empty value is no installation")
            << QList<Installation>{fs2000, {Sim::FS2002, QString()}} << QString() << QList<qint32>{1}
            << QList<Sim>{Sim::FS2000} << QString();
        QTest::newRow("not installed") << QList<Installation>{cfs2} << QString() << QList<qint32>{1}
                                       << QList<Sim>{Sim::CFS2} << QString();
        QTest::newRow("unknown type") << QList<Installation>{fs2002} << QString() << QList<qint32>{7}
                                      << QList<Sim>{Sim::FS2002} << QString();
        QTest::newRow("failed lookups keep the folder")
            << QList<Installation>{{Sim::FS2002, u"C:\\FS2002\\"_s}} << QString()
            << QList<qint32>{1, 0, 2, -1, 3} << QList<Sim>{Sim::FS2002} << u"C:\\FS2002"_s;
    }

    void detectionAndLookup()
    {
        QFETCH(QList<Installation>, installed);
        QFETCH(QString, valueName);
        QFETCH(QList<qint32>, lookups);
        QFETCH(QList<Sim>, found);
        QFETCH(QString, path);
        TestEnv env;
        install(env, installed, valueName);
        Location location(env.context);
        for (const qint32 lookup : lookups) {
            qint32 sim = lookup;
            location.DoClass_Initialize(sim);
            QCOMPARE(sim, lookup);
        }
        QCOMPARE(location.FS2000installed(), found.contains(Sim::FS2000));
        QCOMPARE(location.FS2002installed(), found.contains(Sim::FS2002));
        QCOMPARE(location.CFS2installed(), found.contains(Sim::CFS2));
        QCOMPARE(location.installedCount(), found.size());
        QCOMPARE(location.Path(), path);
        QVERIFY(env.ui.allShown());
    }
};

QTEST_GUILESS_MAIN(TstLocation)
#include "tst_location.moc"
