#include "platform/desktop/StartedProgram.h"

namespace platform {

void StartedProgram::announceEnd(const ProgramEnd& end)
{
    if (m_ended)
        return;
    m_ended = true;
    Q_EMIT ended(end);
}

} // namespace platform
