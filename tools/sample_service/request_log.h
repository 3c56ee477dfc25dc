#pragma once
// One line per request received, flushed at once so that a test or the benchmark
// can watch the file while the service runs:
//   <monotonic microseconds> <METHOD> <request target as received> Host=<Host header>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace sample_service {

class RequestLog {
  public:
    // An empty path logs to standard error.
    explicit RequestLog(const std::string& path);

    void record(std::string_view method, std::string_view target, std::string_view host);

  private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, CloseFile> owned_file_;
    std::FILE* file_;
};

}  // namespace sample_service
