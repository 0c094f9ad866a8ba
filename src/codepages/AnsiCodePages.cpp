// Windows' ANSI code pages by number and name. In a file of its own, so that
// only the tools, which name them, link the table.
#include "codepages/CodePages.h"

namespace CodePages {

const NamedCodePage kAnsiCodePages[kAnsiCodePageCount] = {
    {1250, "Central European"},
    {1251, "Cyrillic"},
    {1252, "Western European"},
    {1253, "Greek"},
    {1254, "Turkish"},
    {1255, "Hebrew"},
    {1256, "Arabic"},
    {1257, "Baltic"},
    {1258, "Vietnamese"},
    {874, "Thai"},
    {932, "Japanese"},
    {936, "Simplified Chinese"},
    {949, "Korean"},
    {950, "Traditional Chinese"},
};

}  // namespace CodePages
