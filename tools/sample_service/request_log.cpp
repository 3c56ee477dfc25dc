#include "tools/sample_service/request_log.h"

#include <glib.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace sample_service {

RequestLog::RequestLog(const std::string& path) : file_(stderr) {
    if (path.empty()) return;
    owned_file_.reset(std::fopen(path.c_str(), "ab"));
    if (!owned_file_) {
        throw std::runtime_error("cannot open log " + path + ": " + std::strerror(errno));
    }
    file_ = owned_file_.get();
}

void RequestLog::record(std::string_view method, std::string_view target, std::string_view host) {
    // The same clock as CLOCK_MONOTONIC, so other processes can compare times with it.
    std::fprintf(file_, "%lld %.*s %.*s Host=%.*s\n",
                 static_cast<long long>(g_get_monotonic_time()), static_cast<int>(method.size()),
                 method.data(), static_cast<int>(target.size()), target.data(),
                 static_cast<int>(host.size()), host.data());
    std::fflush(file_);
}

}  // namespace sample_service
