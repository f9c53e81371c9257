#include "ListBench.h"

#include "IoFloor.h"
#include "SyntheticCollection.h"
#include "lists/Exports.h"
#include "lists/ListModels.h"
#include "lists/QrShoppingList.h"
#include "lists/widgets/StatusListPanel.h"
#include "store/CollectionStore.h"
#include "ui/Dialogs.h"
#include "app/MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSaveFile>
#include <memory>

namespace {

// Answers every question with the answer set, and counts the boxes that are not questions.
class AnsweringDialogs final : public Dialogs {
public:
    int answer = No;
    int otherBoxes = 0;
    QString lastText;

    int messageBox(const QString& text, int style, const QString&) override
    {
        if ((style & 0x0F) == YesNo)
            return answer;
        ++otherBoxes;
        lastText = text;
        return Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    void beep() override {}
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

QStringList volumeFiles(const SyntheticCollection& collection)
{
    QStringList names;
    names.reserve(collection.titleCount());
    for (int i = 1; i <= collection.titleCount(); ++i)
        names << collection.title(i) + CollectionStore::VolumeSuffix;
    return names;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writing bytes the way every save does: a temporary file, flushed and checked, renamed over the old one.
double atomicWriteMs(const QString& path, const QByteArray& bytes)
{
    return timing::measureMs([&] {
        QSaveFile file(path);
        file.setDirectWriteFallback(false);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush())
            file.commit();
    });
}

} // namespace

ListResults measureLists(const SyntheticCollection& collection, int runs, int toggles)
{
    ListResults results;
    const QString folder = collection.path();
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(folder);
    const QStringList volumes = volumeFiles(collection);

    timing::Samples fill(QStringLiteral("list_first_fill"));
    timing::Samples toggle(QStringLiteral("list_toggle"));
    timing::Samples rebuild(QStringLiteral("uncollected_rebuild"));
    timing::Samples zankan(QStringLiteral("export_zankan"));
    timing::Samples uncollected(QStringLiteral("export_uncollected"));
    timing::Samples fullStatus(QStringLiteral("export_full_status"));
    timing::Samples qrCodes(QStringLiteral("qr_codes"));

    AnsweringDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    StatusListPanel* panel = nullptr;
    for (int run = 0; run < runs && results.error.isEmpty(); ++run) {
        window = std::make_unique<MainWindow>(dialogs);
        window->show();
        QCoreApplication::processEvents();
        panel = window->findChild<StatusListPanel*>(QStringLiteral("fraList"));
        const double floor = iofloor::readFilesMs(folder, volumes);
        fill.add(timing::measureMs([&] { panel->cmdList_Click(); }), floor);
        if (panel->statusModel().rowCount() != collection.titleCount())
            results.error = QStringLiteral("the list shows %1 titles of %2")
                                .arg(panel->statusModel().rowCount())
                                .arg(collection.titleCount());
    }
    if (!results.error.isEmpty()) {
        QDir::setCurrent(previousFolder);
        return results;
    }

    // Each volume is toggled twice, so that the folder ends as it began; both toggles are samples.
    QRandomGenerator random(20240612);
    for (int t = 0; t < toggles; ++t) {
        const int row = random.bounded(1, collection.titleCount() + 1);
        const int count = panel->statusModel().row(row).filledColumns();
        if (count < 1)
            continue;
        const int column = random.bounded(1, count + 1);
        const QString path = folder + QLatin1Char('/') + volumes[row - 1];
        for (int twice = 0; twice < 2; ++twice) {
            const double ms = timing::measureMs([&] { panel->msgList_Click(row, column); });
            const QByteArray written = readAll(path);
            const double floor = iofloor::readFilesMs(folder, {volumes[row - 1]}) + atomicWriteMs(path, written);
            toggle.add(ms, floor);
        }
    }
    results.toggles = toggle.count();

    const QString zankanPath = folder + QLatin1Char('/') + exports::UncollectedFileName;
    const QString fullPath = folder + QLatin1Char('/') + exports::FullStatusFileName;
    for (int run = 0; run < runs; ++run) {
        panel->cmdAllDsp_Click();
        window->state().stale.UncollectedStale = true;
        rebuild.add(timing::measureMs([&] { panel->cmdZanDsp_Click(); }), 0);

        dialogs.answer = Dialogs::No; // 残巻: the file only, not printed
        double ms = timing::measureMs([&] { panel->cmdHozon_Click(); });
        zankan.add(ms, iofloor::readFilesMs(folder, volumes) + atomicWriteMs(zankanPath, readAll(zankanPath)));

        dialogs.answer = Dialogs::Yes;
        ms = timing::measureMs([&] { panel->cmdHozon1_Click(); });
        uncollected.add(ms, iofloor::readFilesMs(folder, volumes) + atomicWriteMs(zankanPath, readAll(zankanPath)));

        ms = timing::measureMs([&] { panel->cmdHozon2_Click(); });
        fullStatus.add(ms, atomicWriteMs(fullPath, readAll(fullPath)));

        // Every code of the view's list, text and pictures: what the shopping-list window and its printout need.
        int madeCodes = 0;
        qrCodes.add(timing::measureMs([&] {
                        QList<qrlist::Missing> entries;
                        for (const UncollectedModel::Row& row : panel->uncollectedModel().rows())
                            entries.append({row.title, row.startVolume, row.missing});
                        for (const QStringList& code : qrlist::split(qrlist::lines(entries)))
                            madeCodes += int(!qrlist::encode(qrlist::codeText(code).toUtf8()).isNull());
                    }),
                    0);
        if (madeCodes == 0)
            results.error = QStringLiteral("no QR code was made");
    }
    // Each completion box counts once per run; anything more is an error box.
    if (dialogs.otherBoxes != 2 * runs)
        results.error = QStringLiteral("an export showed an unexpected box: ") + dialogs.lastText;
    if (panel->uncollectedModel().rowCount() == 0)
        results.error = QStringLiteral("the uncollected view is empty");

    window.reset();
    QDir::setCurrent(previousFolder);
    for (const timing::Samples* samples : {&fill, &toggle, &rebuild, &zankan, &uncollected, &fullStatus, &qrCodes})
        results.measurements.append(samples->result());
    return results;
}
