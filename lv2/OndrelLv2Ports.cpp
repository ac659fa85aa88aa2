#include "lv2/OndrelLv2.h"

#include "source/engine/ParameterInfo.h"

#include <string>

std::string lv2::portSymbol(int index)
{
    std::string symbol = parameterInfo(index).name;
    for (char& c : symbol) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        if (!letter && !(c >= '0' && c <= '9')) c = '_';
    }
    if (symbol.empty() || (symbol[0] >= '0' && symbol[0] <= '9')) symbol.insert(0, "_");
    return symbol;
}
