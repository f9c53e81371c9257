// Takes the screenshots of the help pages. Runs the real main window in the current folder (a copy of the sample
// collection), goes through the screens as a reader of the help would, and saves each as a PNG into the folder
// given on the command line. Every box the program shows is answered so that nothing is kept (Cancel, No, or
// OK on a message); the boxes the help shows are saved first.
//   help_screenshots OUTPUT_FOLDER
#include "app/MainWindow.h"
#include "help/HelpDocument.h"
#include "help/widgets/HelpWindow.h"
#include "ui/MainPage.h"
#include "ui/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

QString g_output;
int g_saved = 0;

void settle(int ms = 400)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void save(QWidget* widget, const QString& name, const QRect& part = QRect())
{
    const QPixmap shot = part.isNull() ? widget->grab() : widget->grab(part);
    const QString path = g_output + QLatin1Char('/') + name + QStringLiteral(".png");
    if (shot.save(path)) {
        ++g_saved;
        std::printf("saved %s (%dx%d)\n", qPrintable(path), shot.width(), shot.height());
    } else {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
    }
}

// Answers every modal box while the window waits for it. A box whose title is in m_wanted is saved first
// (once), after it has been on screen long enough to be drawn.
class BoxAnswerer final : public QObject {
public:
    BoxAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::check);
        m_timer.start(150);
    }
    void want(const QString& title, const QString& name) { m_wanted.insert(title, name); }

private:
    void check()
    {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || box != m_seen) {
            m_seen = box; // wait one more tick, so that it is drawn
            return;
        }
        m_seen = nullptr;
        if (const QString name = m_wanted.take(box->windowTitle()); !name.isEmpty())
            save(box, name);
        if (auto* message = qobject_cast<QMessageBox*>(box)) {
            if (QAbstractButton* escape = message->escapeButton())
                escape->click();
            else
                message->reject();
        } else if (auto* dialog = qobject_cast<QDialog*>(box)) {
            dialog->reject();
        }
    }

    QTimer m_timer;
    QWidget* m_seen = nullptr;
    QHash<QString, QString> m_wanted;
};

template <typename T = QWidget> T* find(QWidget& window, const char* name)
{
    return window.findChild<T*>(QLatin1String(name));
}

void click(QWidget& window, const char* name)
{
    auto* button = find<QAbstractButton>(window, name);
    if (button && button->isVisible())
        button->click();
    else
        std::fprintf(stderr, "no button %s on screen\n", name);
    settle();
}

// A screen still standing in for one to come has nothing on it; its picture would show an empty panel.
bool built(QWidget& window, const char* panel)
{
    QWidget* frame = find(window, panel);
    const bool ok = frame && frame->isVisible() && frame->findChildren<QWidget*>().size() > 2;
    if (!ok)
        std::fprintf(stderr, "%s is not built yet: no screenshot\n", panel);
    return ok;
}

int titleIndex(MainWindow& window, const QString& title)
{
    return qMax(1, window.state().titles.indexOfTitle(title));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tanamiru"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: help_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    g_output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(g_output);

    BoxAnswerer answerer;
    answerer.want(QStringLiteral("ヘルプツアー"), QStringLiteral("tour"));
    answerer.want(QStringLiteral("題名入力"), QStringLiteral("newtitle"));
    answerer.want(QStringLiteral("残巻データ出力"), QStringLiteral("zankan"));

    QtDialogs dialogs;
    MainWindow w(dialogs);
    dialogs.setParent(&w);
    w.show();
    settle(800);
    save(&w, QStringLiteral("main"));
    save(w.centralWidget(), QStringLiteral("buttons"), QRect(0, 0, w.centralWidget()->width(), 60));

    w.mainPage()->setCurrentIndex(titleIndex(w, QStringLiteral("まほろば神社の狐さま")));
    settle();
    click(w, "cmdCmnt");
    save(&w, QStringLiteral("memo"));
    click(w, "cmdKan");
    if (QWidget* cover = find(w, "imgGazou")) {
        QTest::mouseClick(cover, Qt::LeftButton);
        settle();
        if (built(w, "fraPicget"))
            save(&w, QStringLiteral("picget"));
        click(w, "cmdYame");
    }

    click(w, "cmdNew");

    click(w, "cmdList");
    save(&w, QStringLiteral("list"));
    click(w, "cmdZanDsp");
    save(&w, QStringLiteral("uncollected"));
    click(w, "cmdAllDsp");
    click(w, "cmdHozon");

    click(w, "cmdIchiran");
    save(&w, QStringLiteral("sort"));

    click(w, "cmdKensaku");
    if (auto* keyword = find<QLineEdit>(w, "txtNamae")) {
        keyword->setText(QStringLiteral("の"));
        QTest::keyClick(keyword, Qt::Key_Return);
        settle();
    }
    save(&w, QStringLiteral("search"));

    click(w, "cmdRank");
    if (built(w, "fraRank"))
        save(&w, QStringLiteral("rank"));
    click(w, "cmdToukei");
    if (built(w, "fraToukei"))
        save(&w, QStringLiteral("toukei"));
    click(w, "cmdPic");
    if (built(w, "fraPic"))
        save(&w, QStringLiteral("gallery"));
    click(w, "cmdMaster");
    if (built(w, "fraMaster"))
        save(&w, QStringLiteral("master"));

    // The help window itself, on the help file of the folder when there is one.
    click(w, "cmdMain");
    click(w, "cmdHelp");
    settle(800);
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* help = qobject_cast<HelpWindow*>(top); help && help->isVisible() && help->helpDocument()->isOpen()) {
            help->resize(900, 600);
            settle();
            save(help, QStringLiteral("helpwindow"));
        }
    std::printf("%d screenshots\n", g_saved);
    return 0;
}
