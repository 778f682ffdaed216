// OK's command on a thread of its own, so that the dialog keeps answering while a large run is
// made. The thread owns what it works on: the tool run (its model and writer), the values and
// the hooks are moved into it when it starts and come back, with the command's outcome, only
// from Join, once the thread has ended. While it runs, nothing on the window's thread can reach
// the run: TForm1::run is empty then.
//
// The window's thread waits on the thread itself (Handle), not on a message from it: a message
// to a window that has gone is lost, a thread's end never is.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "dialog/dialog_state.hpp"
#include "dialog/tool_run.hpp"
#include "dimension/command.hpp"

namespace Unit1 {

// What OK works on.
struct OkJob {
    ToolRun run;
    DialogState values;  // SavedLeft/SavedTop are set by hooks.beforeSave before they are saved
    OkHooks hooks;       // called on OK's thread
    std::function<void()> begins;  // called first thing on OK's thread (a test holds OK there)
};

// What comes back when OK's thread has ended.
struct OkOutcome {
    ToolRun run;
    DialogState values;
    Dimension::CommandResult result;
};

class OkThread {
public:
    OkThread();
    OkThread(const OkThread&) = delete;
    OkThread& operator=(const OkThread&) = delete;
    // Waits for a thread that was started and never joined: it still owns the run.
    ~OkThread();

    // Starts PressOk on the job on a thread of its own, which then owns the job. False when no
    // thread (or no memory for it) could be had: the job is then left untouched.
    bool Start(OkJob& job);

    // Signalled once the thread has ended; nullptr when none was started or it was joined.
    HANDLE Handle() const { return handle_; }

    // Waits for the thread to end (at once, once Handle is signalled) and hands back its job's
    // run and values with the outcome. Only after a successful Start.
    OkOutcome Join();

private:
    struct Work;
    static unsigned __stdcall Run(void* work);

    std::unique_ptr<Work> work_;
    HANDLE handle_ = nullptr;
};

}  // namespace Unit1
