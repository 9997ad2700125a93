// Reports a fault of the test process, instead of waiting on a debugger.
#ifndef TONQUIL_TESTS_SDK_ID3_FAULT_REPORT_H
#define TONQUIL_TESTS_SDK_ID3_FAULT_REPORT_H

#include <windows.h>
#include <string>

// The block a test is reading, printed in hex when the process faults.
extern std::string BlockBeingRead;

#endif
