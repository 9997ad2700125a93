// A read past a guarded block faults. Without a filter of its own the process
// would wait on Wine's debugger; with this one the fault is reported with the
// block being read, and the process ends at once with the fault's code.
#include "fault_report.h"

#include <stdio.h>

std::string BlockBeingRead;

static LONG WINAPI ReportFault(EXCEPTION_POINTERS *pointers) {
    const EXCEPTION_RECORD *record = pointers->ExceptionRecord;
    fprintf(stderr, "fault 0x%08lX at %p", record->ExceptionCode, record->ExceptionAddress);
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2)
        fprintf(stderr, ", touching %p", (void *)record->ExceptionInformation[1]);
    if (!BlockBeingRead.empty()) {
        fprintf(stderr, "\nblock of %u bytes:", (unsigned)BlockBeingRead.size());
        for (char c : BlockBeingRead)
            fprintf(stderr, " %02X", (BYTE)c);
    }
    fprintf(stderr, "\n");
    fflush(stderr);
    fflush(stdout);
    TerminateProcess(GetCurrentProcess(), record->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

static const LPTOP_LEVEL_EXCEPTION_FILTER Installed = SetUnhandledExceptionFilter(ReportFault);
