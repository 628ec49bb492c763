#pragma once

#include "../StationFixture.h"

#include "station/ui/MainWindow.h"
#include "catalogue/RecordListModel.h"
#include "catalogue/ui/RecordListView.h"
#include "db/Schema.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <optional>

namespace zep::test {

// The main window over a real program directory and INI file. Modal dialogs
// are handed to `onModal` instead of blocking.
struct UiFixture : StationFixture {
    UiFixture()
    {
        window = std::make_unique<MainWindow>(*station);
        window->setDriveRoot(env.root() + "drive/");
        window->setModalRunner([this](QDialog &dialog) {
            modalTitles << dialog.windowTitle();
            return onModal ? onModal(dialog) : 0;
        });
    }

    // The start-up, with every question in it answered at once by the
    // scripted prompts.
    Station::LoadOutcome loadWindow()
    {
        std::optional<Station::LoadOutcome> outcome;
        window->load([&](Station::LoadOutcome o) { outcome = o; });
        // A catalogue on a server is connected to off the window's thread;
        // the file's start ends before load() returns.
        QTest::qWaitFor([&] { return outcome.has_value(); }, 15000);
        EXPECT_TRUE(outcome.has_value()) << "a question of the start-up is still open";
        return outcome.value_or(Station::LoadOutcome::EndProgram);
    }

    void prepareRegularStart()
    {
        storeDirectories();
        ASSERT_TRUE(createFreshDatabase(dbPath()));
    }

    // Shortcuts reach only the active window, even off screen.
    void showActive()
    {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // A search typed into the main window's field and started with Return.
    void searchFor(const QString &term)
    {
        window->searchField()->setText(term);
        QTest::keyClick(window->searchField(), Qt::Key_Return);
    }

    // One column of the main list as it stands, top to bottom.
    QStringList listColumn(int c) const
    {
        QStringList out;
        auto *model = window->grid()->records();
        for (int i = 0; i < model->rowCount(); ++i)
            out << model->row(i)[c];
        return out;
    }

    std::unique_ptr<MainWindow> window;
    std::function<int(QDialog &)> onModal;
    QStringList modalTitles;
};

} // namespace zep::test
