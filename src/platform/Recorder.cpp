#include "Recorder.h"

namespace platform {

namespace {
Recorder* g_recorder = nullptr;
}

Recorder::Recorder()
{
    g_recorder = this;
}

Recorder::~Recorder()
{
    if (g_recorder == this)
        g_recorder = nullptr;
}

Recorder* CurrentRecorder()
{
    return g_recorder;
}

} // namespace platform
