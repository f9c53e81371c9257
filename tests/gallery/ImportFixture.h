#pragma once

// The main page with the cover import panel attached, for the import tests: pictures to import wait in a
// folder of their own and are given as the user gives them.
#include "Pictures.h"
#include "gallery/widgets/CoverImportPanel.h"
#include "gallery/widgets/FileSystemLists.h"
#include "support/PanelFixture.h"
#include "ui/MainPage.h"

#include <QClipboard>
#include <QMimeData>
#include <QPushButton>

namespace importtest {

using namespace paneltest;

inline const QString OverwriteTitle = QStringLiteral("上書き確認");

class PageHost final : public ScreenHost {
public:
    MainPage* page = nullptr;
    int refreshes = 0;
    void HidePanels() override {}
    void ShowTourMessage() override {}
    void showMainPage(int) override {}
    QString LoadTitleTable() override { return {}; }
    void refreshMainPage() override
    {
        ++refreshes;
        page->ShowTitle();
    }
};

// The main page on title 1 ("ABC" unless told) with the import panel attached; pictures to import wait in a
// folder of their own.
struct ImportFixture {
    TestFolder folder;
    QTemporaryDir pictures;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppState> state;
    PageHost host;
    std::unique_ptr<MainPage> page;
    CoverImportPanel* panel = nullptr;

    void start(const QString& title = QStringLiteral("ABC"))
    {
        folder.writeText(CollectionName, collectionText({{title}}));
        state = std::make_unique<AppState>(folder.path());
        state->titles = state->store.loadCollection().table;
        state->lists = buildSelectionLists(state->titles);
        page = std::make_unique<MainPage>(*state, dialogs);
        page->resize(twips::toPixels(11880), twips::toPixels(7575));
        page->applySelectionLists();
        page->ShowTitle();
        host.page = page.get();
        panel = new CoverImportPanel(*page, *state, dialogs, host);
        page->attachCoverImportPanel(panel);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }
    template <typename Widget = QWidget> Widget* child(const char* name) const
    {
        return page->findChild<Widget*>(QString::fromLatin1(name));
    }
    QLabel* cover() const { return child<QLabel>("imgGazou"); }
    FileList* files() const { return child<FileList>("filZukei_Moto"); }
    void writePicture(const QString& name, const QByteArray& data)
    {
        QFile file(pictures.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    }
    // Opens the panel with a click on the cover, browses to folder and clicks name in the file list.
    bool choose(const QString& name, const QString& folderPath = {})
    {
        QTest::mouseClick(cover(), Qt::LeftButton);
        child("dirZukei_Moto")->setProperty("path", folderPath.isEmpty() ? pictures.path() : folderPath);
        QModelIndex found;
        const bool listed = QTest::qWaitFor([&] {
            const QModelIndex root = files()->rootIndex();
            for (int row = 0; row < files()->model()->rowCount(root); ++row)
                if (files()->model()->index(row, 0, root).data().toString() == name)
                    found = files()->model()->index(row, 0, root);
            return found.isValid();
        });
        if (listed)
            QTest::mouseClick(files()->viewport(), Qt::LeftButton, {}, files()->visualRect(found).center());
        return listed && files()->fileName() == name;
    }
    void import() { QTest::mouseClick(child<QPushButton>("cmdFileCopy"), Qt::LeftButton); }
    // Gives the file in the pictures folder as the user would: "panel" (chosen, then 画像を取り込む), "drop"
    // (dropped on the cover) or "paste" (copied as a file, pasted on the cover).
    void give(const QString& via, const QString& name)
    {
        if (via == "panel") {
            QVERIFY(choose(name));
            import();
            return;
        }
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(pictures.filePath(name))});
        if (via == "drop") {
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(cover(), &enter);
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(cover(), &event);
            delete data;
        } else {
            QGuiApplication::clipboard()->setMimeData(data);
            pasteOnCover();
        }
    }
    void pasteOnCover()
    {
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
        QTest::keyClick(page.get(), Qt::Key_V, Qt::ControlModifier);
    }
    QStringList covers() const
    {
        QStringList names = folder.files();
        names.removeAll(CollectionName);
        return names;
    }
    void checkDialogs() const { QVERIFY2(dialogs.done(), qPrintable(dialogs.problems())); }
};

} // namespace importtest
