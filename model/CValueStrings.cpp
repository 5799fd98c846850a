#include "model/CValueStrings.h"

#include <algorithm>

bool CValueStrings::operator==(const CValueStrings& other) const {
    return size() == other.size() && std::equal(begin(), end(), other.begin());
}
