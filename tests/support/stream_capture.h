#pragma once
// Collects what is written to std::cout and std::cerr while an object of
// this type lives (the streams get their own buffers back at the end).

#include <iostream>
#include <sstream>
#include <string>

namespace test_support {

class stream_capture {
public:
    stream_capture()
        : old_out(std::cout.rdbuf(out_stream.rdbuf())), old_err(std::cerr.rdbuf(err_stream.rdbuf()))
    {
    }
    ~stream_capture()
    {
        std::cout.rdbuf(old_out);
        std::cerr.rdbuf(old_err);
    }
    stream_capture(const stream_capture&) = delete;
    stream_capture& operator=(const stream_capture&) = delete;

    std::string out() const { return out_stream.str(); }
    std::string err() const { return err_stream.str(); }

private:
    std::ostringstream out_stream;
    std::ostringstream err_stream;
    std::streambuf* old_out;
    std::streambuf* old_err;
};

} // namespace test_support
