#include "catalogue/DirectoryCheck.h"

#include "catalogue/MonitoredDirectory.h"

namespace zep {

void DirectoryCheck::letEventsRun()
{
    if (m_ctx.runEvents)
        m_ctx.runEvents();
}

void DirectoryCheck::tick()
{
    if (m_running || m_ctx.files.busy())
        return;
    m_running = true;
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{m_running};

    const QString found = m_ctx.files.FindNewFile();
    if (found.isEmpty())
        return;
    m_ctx.files.GetFileListe();
    letEventsRun();
    m_ctx.files.SaveFileListe();
    letEventsRun();
    if (m_ctx.bringToFront)
        m_ctx.bringToFront();
    for (const QString &name : found.split(QStringLiteral("\r\n"))) {
        const long index = NeuerEintrag(m_ctx.database, m_ctx.prompts, m_ctx.clock, m_ctx.pending, name);
        if (index > 0 && m_ctx.openEditor)
            m_ctx.openEditor(index);
    }
}

} // namespace zep
