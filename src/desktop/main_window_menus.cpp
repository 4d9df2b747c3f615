// The main window's lists of windows and files: Recent Files and Examples in the File
// menu, and the Window menu with its arrangements of the year windows.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <string>
#include <vector>

#include "app/settings.h"
#include "desktop/main_window.h"
#include "ui/app_context.h"

namespace yorbel::gui {

namespace {

constexpr std::string_view kMain = "FrmMain";

}  // namespace

void MainWindow::FillRecentMenu() {
    mRecent_->clear();
    const std::vector<std::string> paths =
        context_.Store ? app::ReadRecentFiles(*context_.Store) : std::vector<std::string>{};
    int number = 0;
    for (const std::string& stored : paths) {
        const QString path = QString::fromStdString(stored);
        QAction* entry = mRecent_->addAction(QStringLiteral("&%1 %2").arg(++number).arg(path));
        connect(entry, &QAction::triggered, this, [this, path] { OpenRecent(path); });
    }
    actions_.recentFiles->setEnabled(!paths.empty());
}

void MainWindow::FillExamplesMenu() {
    mExamples_->clear();
    const QDir examples(context_.ProgramFolder + QStringLiteral("examples"));
    const QStringList names =
        examples.entryList({QStringLiteral("*.yrb")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QString path = examples.filePath(name);
        QAction* entry = mExamples_->addAction(QFileInfo(name).completeBaseName());
        // Examples stay as shipped: they open read-only.
        connect(entry, &QAction::triggered, this, [this, path] { OpenCalendarFile(path, true); });
    }
    actions_.examples->setEnabled(!names.isEmpty());
}

void MainWindow::OpenRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        if (context_.Store) {
            std::vector<std::string> paths = app::ReadRecentFiles(*context_.Store);
            std::erase(paths, path.toStdString());
            app::WriteRecentFiles(*context_.Store, paths);
        }
        context_.Ui->Tell(this, QMessageBox::Warning, QStringLiteral("Yorbel"),
                          context_.Text(kMain, "RecentMissing").arg(path));
        return;
    }
    OpenGuarded(path);
}

void MainWindow::RememberFile(const QString& path) {
    if (path.isEmpty() || !context_.Store) return;
    app::WriteRecentFiles(*context_.Store,
                          app::WithRecentFile(app::ReadRecentFiles(*context_.Store),
                                              QFileInfo(path).absoluteFilePath().toStdString()));
}

void MainWindow::UpdateWindowMenu() {
    mWindow_->clear();
    mWindow_->addActions({actions_.tileVertically, actions_.tileHorizontally, actions_.cascade});
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (!windows.isEmpty()) mWindow_->addSeparator();
    int number = 0;
    for (QMdiSubWindow* sub : windows) {
        ++number;
        QString title = sub->windowTitle();
        title.replace(QStringLiteral("[*]"),
                      sub->isWindowModified() ? QStringLiteral("*") : QString());
        QAction* item = mWindow_->addAction(
            number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title) : title);
        item->setCheckable(true);
        item->setChecked(sub == mdi_->currentSubWindow());
        connect(item, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
    }
}

void MainWindow::Tile(Qt::Orientation orientation) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (!sub->isMinimized()) windows << sub;
    if (windows.isEmpty()) return;
    const QRect area = mdi_->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        windows[i]->showNormal();
        QRect slot;
        if (orientation == Qt::Horizontal) {
            const int width = area.width() / count;
            slot = QRect(i * width, 0, width, area.height());
        } else {
            const int height = area.height() / count;
            slot = QRect(0, i * height, area.width(), height);
        }
        // A window whose size follows its font keeps that size within its slot.
        if (const QWidget* inner = windows[i]->widget()) {
            const QSize frame = windows[i]->size() - inner->size();
            slot.setSize(slot.size().boundedTo(inner->maximumSize() + frame));
        }
        windows[i]->setGeometry(slot);
    }
}

// A sub-window's own menu claims keys such as Ctrl+W for its Close. Qt runs no shortcut
// that two actions of one window share, so such a key would reach neither the frame's
// command nor the sub-window: the frame's menus keep their keys, the sub-window drops them.
void MainWindow::LeaveFrameKeysToTheMenus(QMdiSubWindow* sub) const {
    const QMenu* menu = sub->systemMenu();
    if (!menu) return;
    const auto frame_key = [this](const QKeySequence& key) {
        for (const QAction* action : allActions_)
            if (action->shortcuts().contains(key)) return true;
        return false;
    };
    for (QAction* own : menu->actions()) {
        QList<QKeySequence> keys = own->shortcuts();
        if (keys.removeIf(frame_key) > 0) own->setShortcuts(keys);
    }
}

}  // namespace yorbel::gui
