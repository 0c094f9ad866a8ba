// Splits one fuzz input into the parts a target needs.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The input's parts, separated by kFuzzSeparator lines; missing parts are empty.
constexpr char kFuzzSeparator[] = "\n--next--\n";

inline std::vector<std::string> SplitFuzzInput(const unsigned char* data, size_t size, size_t parts)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> result;
    size_t start = 0;
    while (result.size() + 1 < parts) {
        size_t end = input.find(kFuzzSeparator, start);
        if (end == std::string::npos)
            break;
        result.push_back(input.substr(start, end - start));
        start = end + sizeof kFuzzSeparator - 1;
    }
    result.push_back(input.substr(start));
    result.resize(parts);
    return result;
}
