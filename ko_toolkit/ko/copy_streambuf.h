#pragma once
// A stream tee: takes the place of a stream's buffer and passes everything
// written to the stream on to a second stream as well.

#include <atomic>
#include <mutex>
#include <ostream>
#include <set>
#include <streambuf>
#include <string>
#include <vector>

namespace ko {

// A stream buffer that takes the place of a stream's own buffer and passes
// every piece of text on, unchanged and with its exact length (NUL bytes
// included), first to a target stream and then to the captured stream's
// previous buffer.
//
// Each writing thread's text is gathered on its own and passed on in whole
// lines: up to the last line feed written (a flush passes on nothing more),
// all of it when more than line_limit characters are pending, and the rest
// when the thread ends or the tee goes. So a line that one thread writes in
// pieces is never split by another thread's text, not even on a
// unit-buffered stream such as std::cerr, which flushes after every <<.
// The stream's put area stays empty, so every write reaches this buffer.
// Passing on happens under the given mutex, which may serve several
// tees and whoever reads the target; nothing here logs or writes through a
// stream (which would flush a tied stream), so it is never taken twice.
template <typename CharT, typename Traits = std::char_traits<CharT>>
class copy_streambuf : public std::basic_streambuf<CharT, Traits> {
public:
    using stream_type = std::basic_ostream<CharT, Traits>;
    using buffer_type = std::basic_streambuf<CharT, Traits>;
    using int_type = typename Traits::int_type;
    using string_type = std::basic_string<CharT, Traits>;

    static constexpr std::size_t line_limit = 1022;

    // Installs itself as captured's buffer.
    copy_streambuf(stream_type* target, stream_type* captured, std::mutex& mutex)
        : previous_(captured->rdbuf()), captured_(captured), target_(target), mutex_(mutex), serial_(next_serial()++)
    {
        {
            std::lock_guard<std::mutex> lock(registry_mutex());
            live_tees().insert(serial_);
        }
        captured_->rdbuf(this);
    }

    // Passes on what the destroying thread still holds and gives the
    // captured stream its previous buffer back (when it still uses this one).
    ~copy_streambuf() override
    {
        string_type& pending = pending_of_this_thread();
        pass_on(pending.data(), pending.size(), true);
        pending.clear();
        restore();
        std::lock_guard<std::mutex> lock(registry_mutex());
        live_tees().erase(serial_);
    }

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
        string_type& pending = pending_of_this_thread();
        pending.append(s, std::size_t(n));
        if (pending.size() > line_limit) {
            pass_on(pending.data(), pending.size(), false);
            pending.clear();
            return n;
        }
        pass_on_whole_lines(pending, false);
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

    // A flush passes on the whole lines and keeps an unfinished one back.
    int sync() override
    {
        pass_on_whole_lines(pending_of_this_thread(), true);
        return 0;
    }

private:
    void pass_on_whole_lines(string_type& pending, bool flush)
    {
        const auto last_line_feed = pending.find_last_of(CharT('\n'));
        const std::size_t whole = last_line_feed == string_type::npos ? 0 : last_line_feed + 1;
        if (whole > 0 || flush)
            pass_on(pending.data(), whole, flush);
        pending.erase(0, whole);
    }

    void pass_on(const CharT* s, std::size_t n, bool flush)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (n > 0) {
            if (target_)
                target_->write(s, std::streamsize(n));
            if (previous_)
                previous_->sputn(s, std::streamsize(n));
        }
        if (flush) {
            if (target_)
                target_->flush();
            if (previous_)
                previous_->pubsync();
        }
    }

    // The text a thread has written to each tee since its last line feed.
    // When the thread ends, whatever it left is passed on to tees that still
    // exist. Tees are told apart by serial number, not address, since a new
    // tee may take the place of a destroyed one.
    struct pending_entry {
        copy_streambuf* tee;
        unsigned long long serial;
        string_type text;
    };
    struct thread_pending {
        std::vector<pending_entry> entries;
        ~thread_pending()
        {
            std::lock_guard<std::mutex> lock(registry_mutex());
            for (pending_entry& entry : entries) {
                if (!entry.text.empty() && live_tees().count(entry.serial))
                    entry.tee->pass_on(entry.text.data(), entry.text.size(), true);
            }
        }
    };

    string_type& pending_of_this_thread()
    {
        thread_local thread_pending pending;
        for (pending_entry& entry : pending.entries)
            if (entry.tee == this && entry.serial == serial_)
                return entry.text;
        pending.entries.push_back(pending_entry{this, serial_, string_type()});
        return pending.entries.back().text;
    }

    // Allocated once and never destroyed: threads may end after static
    // destruction has begun.
    static std::mutex& registry_mutex()
    {
        static std::mutex* mutex = new std::mutex;
        return *mutex;
    }
    static std::set<unsigned long long>& live_tees()
    {
        static auto* tees = new std::set<unsigned long long>;
        return *tees;
    }
    static std::atomic<unsigned long long>& next_serial()
    {
        static std::atomic<unsigned long long> serial{1};
        return serial;
    }

    buffer_type* previous_;
    stream_type* captured_;
    stream_type* target_;
    std::mutex& mutex_;
    const unsigned long long serial_;
};

} // namespace ko
