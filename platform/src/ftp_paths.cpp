#include "ftp_paths.h"

namespace qff::platform {

namespace {

void appendComponents(std::vector<std::string>& components, std::string_view path) {
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view component = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
        if (component == "..") {
            if (!components.empty()) {
                components.pop_back();
            }
        } else if (!component.empty() && component != ".") {
            components.emplace_back(component);
        }
    }
}

}  // namespace

std::vector<std::string> resolveRemotePath(std::string_view current, std::string_view path) {
    std::vector<std::string> components;
    if (!path.starts_with('/')) {
        appendComponents(components, current);
    }
    appendComponents(components, path);
    return components;
}

std::string joinRemotePath(const std::vector<std::string>& components) {
    if (components.empty()) {
        return "/";
    }
    std::string joined;
    for (const std::string& component : components) {
        joined += "/" + component;
    }
    return joined;
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace qff::platform
