#pragma once
// The COM object base lives with the platform's Win32 code, where the UI's accessible objects
// use it too.
#include "platform/win32/ComObject.h"
