#pragma once

#include "BenchTiming.h"
#include "catalogue/DirectoryCheck.h"
#include "catalogue/NeuerEintrag.h"

#include <QString>

#include <cstdio>
#include <vector>

// The new-file figure, a run at a time: a check's tick cataloguing the 50
// files just dropped into its directory, and beside it the reference, 50
// records made one by one with NeuerEintrag, each committed on its own (as
// the tick did before it took them in one transaction). `editors` counts the
// records the check hands to the editor.
struct NewFilesFigure {
    zep::Database &db;
    zep::Prompts &prompts;
    const zep::Clock &clock;
    zep::PendingMachines &pending;
    int &editors;
    std::vector<double> tick;
    std::vector<double> oneByOne;

    // False, and said, when the tick did not make the 50 records.
    bool measure(zep::DirectoryCheck &check, int run)
    {
        editors = 0;
        tick.push_back(timeMs([&] { check.tick(); }));
        if (editors != 50) {
            std::fprintf(stderr, "expected 50 new records, got %d\n", editors);
            return false;
        }
        oneByOne.push_back(timeMs([&] {
            for (int i = 0; i < 50; ++i)
                zep::NeuerEintrag(db, prompts, clock, pending, QString("EINZELN_%1_%2.NC").arg(run).arg(i), {});
        }));
        return true;
    }
};
