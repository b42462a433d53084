// The C++ library's error throwers, replaced.
//
// The library's own versions build std::logic_error and its kin from a
// message; those carry reference-counted strings, which bring the whole
// old-ABI string class, its stream and random-device helpers into the
// program (about 50 KB). The program never looks at what was thrown: its
// only handlers are catch (...) guards around the window procedures and
// the start. So every error leaves as an exception with no payload, which
// those guards catch just the same. Linked into the program itself, these
// definitions are found before the library is searched.
#include <exception>
#include <new>

namespace {

struct LibraryError final : std::exception {
  const char* what() const noexcept override { return "library error"; }
};

[[noreturn]] void fail() { throw LibraryError(); }

}  // namespace

namespace std {

void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_alloc(); }
void __throw_bad_cast() { fail(); }
void __throw_bad_typeid() { fail(); }
void __throw_bad_exception() { fail(); }
void __throw_logic_error(const char*) { fail(); }
void __throw_domain_error(const char*) { fail(); }
void __throw_invalid_argument(const char*) { fail(); }
void __throw_length_error(const char*) { fail(); }
void __throw_out_of_range(const char*) { fail(); }
void __throw_out_of_range_fmt(const char*, ...) { fail(); }
void __throw_runtime_error(const char*) { fail(); }
void __throw_range_error(const char*) { fail(); }
void __throw_overflow_error(const char*) { fail(); }
void __throw_underflow_error(const char*) { fail(); }

}  // namespace std
