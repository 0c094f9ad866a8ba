// The standard streams on Windows: binary, so that no LF becomes CR LF.
#include "common/ToolMain.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

void UseBinaryStandardStreams()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
