// Test helper: sends the log to a file of the test's own and reads back the texts of its entries.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/log.h"

namespace setup_test {

class LogCapture {
public:
    LogCapture() {
        path_ = std::string("tov_setup_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
        InitLog(0xFFFF, path_.c_str());
    }
    ~LogCapture() {
        InitLog(0, path_.c_str());
        std::remove(path_.c_str());
    }

    // The text of every entry, without its time stamp and line end.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::ifstream in(path_, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const size_t mark = line.find(">  ");
            lines.push_back(mark == std::string::npos ? line : line.substr(mark + 3));
        }
        return lines;
    }

    bool Has(const std::string& text) const {
        const std::vector<std::string> lines = Lines();
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }

    size_t Count(const std::string& text) const {
        const std::vector<std::string> lines = Lines();
        return static_cast<size_t>(std::count(lines.begin(), lines.end(), text));
    }

private:
    std::string path_;
};

} // namespace setup_test
