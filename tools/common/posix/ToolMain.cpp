// The standard streams on POSIX systems pass bytes unchanged already.
#include "common/ToolMain.h"

void UseBinaryStandardStreams() {}
