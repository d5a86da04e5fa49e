#pragma once

#include <QString>
#include <string_view>

// The data layer's texts are UTF-8; every window shows them through here.
inline QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
