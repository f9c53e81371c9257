// The seeded simulation of the store and history floors. run() draws sequences from fresh seeds for the time
// given by TANAMIRU_SIM_SECONDS (default 60) starting at TANAMIRU_SIM_SEED (default: from the clock), or, when
// TANAMIRU_SIM_SEEDS is set, exactly that many seeds whatever the time (CI's run, the same every time); a failure
// prints its seed and the shortest sequence that still fails. sequences() replays the shortened sequences of
// faults found before, one row each.

#include "simulation/Simulation.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>

using namespace simulation;

class TestSimulation final : public QObject {
    Q_OBJECT

private slots:
    void sequences_data();
    void sequences();
    void run();
};

void TestSimulation::sequences_data()
{
    QTest::addColumn<QString>("ops");
    QTest::newRow("every kind once") << QStringLiteral(
        "click 1 0 0; typed 2 3 1; status 0 4 0; field 1 1 3; add 3 4 0; memo 2 1 0; cover 0 1 0; favourites 1 0 0; "
        "order 3 1 0; sort 0 0 0; sheet 1 2 0; undo 0 0 0; undo 0 0 0; redo 0 0 0; newday 0 0 0; click 2 0 0; "
        "restore 0 0 0; delete 1 0 0; undo 0 0 0");
    // The ranking file is deleted outside, the add makes it again, and its undo meets a full disk: the ranking
    // must still be there when the undo is refused.
    QTest::newRow("undo of an add on a full disk keeps the ranking")
        << QStringLiteral("outdelete 0 0 0; add 1 2 0; undo 0 0 0 !full1");
    // The add's ranking write fails (the user is told); undo then redo gives back exactly the files it made.
    // The redo's ranking write fails: the redo does not go ahead, rather than giving back the add without its
    // ranking lines.
    QTest::newRow("redo of an add whose ranking write fails")
        << QStringLiteral("add 906 402 734; undo 242 415 273; redo 417 941 87 !fail3");
    QTest::newRow("redo of an add the ranking did not take")
        << QStringLiteral("add 1 2 0 !fail3; undo 0 0 0; redo 0 0 0");
    // A redo whose ranking write failed is tried again: it writes the ranking lines too.
    QTest::newRow("redo again after a redo whose ranking write failed")
        << QStringLiteral("add 1 2 0; undo 0 0 0; redo 0 0 0 !fail3; redo 0 0 0");
    // The import replaced a .bmp by a .jpg; its redo on a full disk must not delete the .bmp and then fail.
    QTest::newRow("redo of a cover import on a full disk")
        << QStringLiteral("cover 364 44 424; add 214 231 257; cover 690 155 761; undo 257 189 97; "
                          "redo 627 216 528 !full1");
    // An add appends to a collection file another program added a record to: the field edit after it rewrites
    // the file from memory, which must hold that record too.
    QTest::newRow("edit after an add to a file changed outside")
        << QStringLiteral("outrecord 888 307 368; add 282 349 847; field 199 637 68");
    // The program writes the memo as _C.TXT, another program its twin _C.txt: undoing the memo deletes only its own.
    QTest::newRow("undo of a memo beside a twin made outside")
        << QStringLiteral("memo 61 711 982; outmemo 429 947 138; undo 159 501 788");
    // The generation holds _C.txt, the folder the program's _C.TXT: the restore gives back the generation's
    // spelling and no twin.
    QTest::newRow("restore of a memo whose spelling differs")
        << QStringLiteral("favourites 443 905 388; outmemo 749 19 152; restore 68 808 672; memo 845 725 390; "
                          "restore 988 201 125");
    // The collection file was the program's own, then another program changed it: an import that fails part-way
    // puts back that program's file, not the table in memory.
    QTest::newRow("failed import after the collection changed outside")
        << QStringLiteral("field 144 23 335; outrecord 60 439 387; sheet 143 962 81 !fail3");
    QTest::newRow("undo of an add keeps a title appended to the ranking outside")
        << QStringLiteral("add 1 2 0; outranking 0 0 0; undo 0 0 0; favourites 0 0 0");
    // The same undo failing when it writes the ranking: the file still holds the other program's title.
    QTest::newRow("failed undo of an add keeps a title appended to the ranking outside")
        << QStringLiteral("add 113 407 53; outranking 653 329 993; undo 62 100 914 !fail2; favourites 253 592 597");
    // The ranking was deleted outside and the import made it again: the favourites saved after it are the file's.
    QTest::newRow("favourites after an import into a ranking deleted outside")
        << QStringLiteral("outmemo 586 380 348; cover 576 355 255; outdelete 970 742 734; sheet 912 561 921; "
                          "favourites 467 895 318");
    // The undo of an add deleted the ranking it had made; another program made it again before an import added to
    // it: the import notices the file it had seen gone, and the favourites saved after it are the file's.
    QTest::newRow("import into a ranking made outside after an undo deleted it")
        << QStringLiteral("outdelete 155 135 532; cover 606 159 745; add 101 341 124; undo 904 428 239; "
                          "outranking 568 10 204; sheet 762 879 248; add 990 916 412; favourites 279 42 17");
    // The import left the title's other cover as it was; another program changed it since; the undo keeps it.
    QTest::newRow("undo of a cover import beside a cover changed outside")
        << QStringLiteral("outadd 185 688 743; delete 868 478 828; cover 546 50 557; outadd 357 999 765; "
                          "undo 918 963 739");
    // The generation had no ranking file: after the restore there is none.
    QTest::newRow("restore of a generation without a ranking")
        << QStringLiteral("memo 379 790 28; add 396 823 474; outdelete 43 392 418; restore 720 250 144; "
                          "sort 741 957 899; restore 223 9 838");
    // Another program made a memo for the title the delete's undo put back: the redo would delete it.
    QTest::newRow("redo of a delete after a file of the title was made outside")
        << QStringLiteral("delete 578 386 281; undo 609 639 556; outmemo 958 57 32; redo 891 452 75");
    QTest::newRow("restore after an undo of a delete cut off by a crash")
        << QStringLiteral("memo 901 348 381; delete 481 261 640; undo 991 395 481 !crash3; restore 346 619 290");
    QTest::newRow("restore of the generation taken before an import cut off by a crash")
        << QStringLiteral("field 167 536 234; sheet 823 787 63 !crash3; order 364 118 21; restore 487 923 771");
}

void TestSimulation::sequences()
{
    QFETCH(QString, ops);
    const QList<Op> sequence = parse(ops);
    QCOMPARE(describe(sequence), ops);
    const Result result = simulation::run(sequence);
    QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
}

void TestSimulation::run()
{
    // TANAMIRU_SIM_OPS replays one sequence as describe() wrote it, for a look at a failure found before.
    if (const QString ops = qEnvironmentVariable("TANAMIRU_SIM_OPS"); !ops.isEmpty()) {
        const Result result = simulation::run(parse(ops));
        QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
        return;
    }
    bool ok = false;
    int seconds = qEnvironmentVariableIntValue("TANAMIRU_SIM_SECONDS", &ok);
    if (!ok)
        seconds = 60;
    quint32 seed = quint32(qEnvironmentVariable("TANAMIRU_SIM_SEED").toUInt(&ok));
    if (!ok)
        seed = quint32(QDateTime::currentMSecsSinceEpoch());
    const int seedCount = qEnvironmentVariableIntValue("TANAMIRU_SIM_SEEDS");
    QElapsedTimer timer;
    timer.start();
    qint64 steps = 0;
    int seeds = 0;
    // TANAMIRU_SIM_SURVEY=1 goes on after a failure and reports each kind of failure once, for a first look at a
    // branch with faults already known.
    const bool survey = qEnvironmentVariableIntValue("TANAMIRU_SIM_SURVEY") != 0;
    QStringList found;
    do {
        QList<Op> ops = generate(seed, 60);
        const Result result = simulation::run(ops);
        steps += result.steps;
        ++seeds;
        if (!result.failure.isEmpty() && !found.contains(category(result.failure))) {
            const QList<Op> shortest = shrink(ops.mid(0, result.steps), result.failure, 60);
            const Result again = simulation::run(shortest);
            std::printf("[%lld ms] seed %u failed after %d steps: %s\nshortest (%lld steps): %s\nits failure: %s\n",
                        timer.elapsed(), seed, result.steps, qPrintable(result.failure), qint64(shortest.size()),
                        qPrintable(describe(shortest)), qPrintable(again.failure));
            std::fflush(stdout);
            found << category(result.failure);
            if (!survey)
                QFAIL(qPrintable(QStringLiteral("seed %1: %2").arg(seed).arg(result.failure)));
        }
        ++seed;
    } while (seedCount > 0 ? seeds < seedCount : timer.elapsed() < seconds * 1000LL);
    std::printf("simulation: %d seeds (last %u), %lld steps in %lld ms, found: %s\n", seeds, seed - 1, steps,
                timer.elapsed(), found.isEmpty() ? "nothing" : qPrintable(found.join(QStringLiteral(", "))));
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral(", "))));
}

QTEST_MAIN(TestSimulation)
#include "tst_simulation.moc"
