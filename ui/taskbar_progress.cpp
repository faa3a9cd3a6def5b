#include "ui/taskbar_progress.h"

#include <shobjidl.h>

namespace ui {

namespace {

// The shell's taskbar object while a progress shows, with the COM initialisation it needed.
struct Taskbar {
    ITaskbarList3* list = nullptr;
    bool initialisedCom = false;
};

Taskbar& TheTaskbar() {
    static Taskbar taskbar;
    return taskbar;
}

ITaskbarList3* ShellTaskbar() {
    Taskbar& taskbar = TheTaskbar();
    if (taskbar.list) return taskbar.list;
    taskbar.initialisedCom = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ITaskbarList3* list = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, reinterpret_cast<void**>(&list))) &&
        SUCCEEDED(list->HrInit()))
        taskbar.list = list;
    else if (list)
        list->Release();
    return taskbar.list;
}

}  // namespace

void ShowTaskbarProgress(HWND window, int percent) {
    if (ITaskbarList3* list = ShellTaskbar())
        list->SetProgressValue(window, static_cast<ULONGLONG>(percent), 100);
}

void EndTaskbarProgress(HWND window) {
    Taskbar& taskbar = TheTaskbar();
    if (taskbar.list) {
        taskbar.list->SetProgressState(window, TBPF_NOPROGRESS);
        taskbar.list->Release();
    }
    if (taskbar.initialisedCom) CoUninitialize();
    taskbar = {};
}

}  // namespace ui
