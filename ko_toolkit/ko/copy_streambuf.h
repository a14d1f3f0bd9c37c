#pragma once
// A stream tee: takes the place of a stream's buffer and passes everything
// written to the stream on to a second stream as well.

#include <mutex>
#include <ostream>
#include <streambuf>

namespace ko {

// A stream buffer that takes the place of a stream's own buffer and passes
// every piece of text on, unchanged and with its exact length, first to a
// target stream and then to the captured stream's previous buffer. It keeps
// no put area, so every write reaches it and is passed on at once under the
// given mutex; one mutex may serve several tees and whoever reads the
// target. Nothing here logs, so the mutex is never taken twice.
template <typename CharT, typename Traits = std::char_traits<CharT>>
class copy_streambuf : public std::basic_streambuf<CharT, Traits> {
public:
    using stream_type = std::basic_ostream<CharT, Traits>;
    using buffer_type = std::basic_streambuf<CharT, Traits>;
    using int_type = typename Traits::int_type;

    // Installs itself as captured's buffer.
    copy_streambuf(stream_type* target, stream_type* captured, std::mutex& mutex)
        : previous_(captured->rdbuf()), captured_(captured), target_(target), mutex_(mutex)
    {
        captured_->rdbuf(this);
    }

    // Gives the captured stream its previous buffer back (when it still
    // uses this one).
    ~copy_streambuf() override { restore(); }

    copy_streambuf(const copy_streambuf&) = delete;
    copy_streambuf& operator=(const copy_streambuf&) = delete;

    void restore()
    {
        if (captured_ && captured_->rdbuf() == this)
            captured_->rdbuf(previous_);
    }

    // Stops passing text to the target; the previous buffer still gets it.
    void detach_target()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        target_ = nullptr;
    }

    buffer_type* previous_buffer() const { return previous_; }

protected:
    std::streamsize xsputn(const CharT* s, std::streamsize n) override
    {
        if (n <= 0)
            return 0;
        std::lock_guard<std::mutex> lock(mutex_);
        if (target_)
            target_->write(s, n);
        if (previous_)
            previous_->sputn(s, n);
        return n;
    }

    int_type overflow(int_type c) override
    {
        if (Traits::eq_int_type(c, Traits::eof()))
            return sync() == 0 ? Traits::not_eof(c) : Traits::eof();
        const CharT ch = Traits::to_char_type(c);
        xsputn(&ch, 1);
        return c;
    }

    int sync() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (target_)
            target_->flush();
        if (previous_)
            previous_->pubsync();
        return 0;
    }

private:
    buffer_type* previous_;
    stream_type* captured_;
    stream_type* target_;
    std::mutex& mutex_;
};

} // namespace ko
