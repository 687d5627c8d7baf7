#include "Recorder.h"

namespace platform {

namespace {
Recorder* g_recorder = nullptr;
}

Recorder::Recorder() : m_previous(g_recorder)
{
    g_recorder = this;
}

Recorder::~Recorder()
{
    if (g_recorder == this)
        g_recorder = m_previous;
}

Recorder* CurrentRecorder()
{
    return g_recorder;
}

} // namespace platform
