#pragma once

#include "../MachineFixture.h"

#include "app/IniSettingsStore.h"
#include "app/ScriptedPrompts.h"
#include "app/StatusLine.h"
#include "machines/MachinesService.h"
#include "machines/ui/MachineManager.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <memory>

namespace zep::test {

// The machine manager over a real catalogue, with every message box
// answered by script.
struct MachineManagerFixture : MachineFixture {
    std::unique_ptr<MachineManager> open()
    {
        QObject::connect(&statusLine, &StatusLine::changed, [this](const QString &text) { status << text; });
        return std::make_unique<MachineManager>(machines, prompts, clock, statusLine);
    }

    // Focus moves only inside the active window, even off screen.
    static void showActive(MachineManager &w)
    {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }

    // Typing as the user does: the field is focused and marked as edited.
    static void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    static QStringList row(const MachineManager &w, int i)
    {
        QStringList columns;
        if (QTreeWidgetItem *item = w.controls().list->topLevelItem(i))
            for (int c = 0; c < 4; ++c)
                columns << item->text(c);
        return columns;
    }

    // Picks the machine's entry as a click or an arrow key would.
    static void choose(MachineManager &w, long machine)
    {
        QTreeWidget *list = w.controls().list;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->data(0, Qt::UserRole).toLongLong() == machine)
                list->setCurrentItem(list->topLevelItem(i));
    }

    ScriptedPrompts prompts;
    StatusLine statusLine;
    QStringList status;
    IniSettingsStore settings{env.iniFile()};
    MachinesService machines{db, settings, prompts, clock};
};

} // namespace zep::test
