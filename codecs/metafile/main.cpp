// lugatim-metafile: decodes one Windows metafile for the program, in a
// process of its own so that the decoders' faults stay here.
//
//   lugatim-metafile <wmf|emf> <memory MiB> <processor seconds>
//     < the file's bytes         (file descriptor 0)
//     3> the result              (see EncodeMetafileResult)
//
// It limits itself before it reads a byte: address space for data (heap and
// anonymous mappings) to the given MiB, processor time to the given seconds
// (the kernel ends it with SIGXCPU), no core files, no file written (a
// write that would grow a file raises SIGXFSZ), at most kMaxDescriptors
// descriptors (the decoders open their font files one at a time), and no
// privileges gained through exec. It ends with _exit, so no exit handler of
// the libraries runs after the answer.
//
//   lugatim-metafile limits
//     writes the limits it runs under to its standard output, for tests.

#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "codecs/CodecError.h"
#include "codecs/MetafileDecoder.h"
#include "codecs/metafile/MetafileRender.h"

#if defined(__SANITIZE_ADDRESS__)
#define LUGATIM_HELPER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUGATIM_HELPER_ASAN 1
#endif
#endif

#ifdef LUGATIM_HELPER_ASAN
// AddressSanitizer reserves terabytes of address space, which a data limit
// forbids; under it the sanitizer's own allocator keeps to the limit
// instead: it returns no memory for a single request over 256 MiB or once
// the resident size (its shadow memory included, hence the margin) passes
// 384 MiB, as the data limit would. A fault in the decoders ends the helper
// with the signal itself, as it does without the sanitizer, and the freed
// memory it holds back to catch late use stays small.
extern "C" const char* __asan_default_options() {
  return "soft_rss_limit_mb=384:hard_rss_limit_mb=1024:max_allocation_size_mb=256:"
         "allocator_may_return_null=1:handle_segv=0:quarantine_size_mb=16:detect_leaks=0";
}
#endif

namespace {

using lugatim::codecs::EncodeMetafileError;
using lugatim::codecs::EncodeMetafileResult;
using lugatim::codecs::kMetafileResultFd;

[[noreturn]] void Answer(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(kMetafileResultFd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ::_exit(3);
    done += static_cast<size_t>(n);
  }
  ::_exit(0);
}

void Limit(int resource, rlim_t soft, rlim_t hard) {
  const rlimit limit{soft, hard};
  if (::setrlimit(resource, &limit) != 0) ::_exit(4);
}

constexpr rlim_t kMaxDescriptors = 32;

// The limits that hold whatever the picture: no core, no file written, few
// descriptors, no privileges to gain.
void LimitAlways() {
  Limit(RLIMIT_CORE, 0, 0);
  Limit(RLIMIT_FSIZE, 0, 0);
  Limit(RLIMIT_NOFILE, kMaxDescriptors, kMaxDescriptors);
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) ::_exit(4);
}

std::string LimitText(const char* name, int resource) {
  rlimit limit{};
  ::getrlimit(resource, &limit);
  return std::string(name) + "=" +
         (limit.rlim_cur == RLIM_INFINITY ? std::string("unlimited")
                                          : std::to_string(limit.rlim_cur)) +
         "\n";
}

std::string ReadInput() {
  std::string data;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(0, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ::_exit(5);
    if (n == 0) return data;
    data.append(buffer, static_cast<size_t>(n));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "limits") == 0) {
    LimitAlways();
    const std::string text = LimitText("core", RLIMIT_CORE) + LimitText("fsize", RLIMIT_FSIZE) +
                             LimitText("nofile", RLIMIT_NOFILE) + "no_new_privs=" +
                             std::to_string(::prctl(PR_GET_NO_NEW_PRIVS, 0, 0, 0, 0)) + "\n";
    (void)!::write(1, text.data(), text.size());
    return 0;
  }
  if (argc != 4 || (std::strcmp(argv[1], "wmf") != 0 && std::strcmp(argv[1], "emf") != 0)) {
    static const char usage[] =
        "lugatim-metafile decodes a metafile for lugatim; it is not meant to be run by hand.\n";
    (void)!::write(2, usage, sizeof usage - 1);
    return 2;
  }
  const bool wmf = std::strcmp(argv[1], "wmf") == 0;
  const std::string kind = wmf ? "WMF" : "EMF";
  const long memoryMiB = std::strtol(argv[2], nullptr, 10);
  const long cpuSeconds = std::strtol(argv[3], nullptr, 10);
  if (memoryMiB <= 0 || cpuSeconds <= 0) return 2;

  LimitAlways();
  Limit(RLIMIT_CPU, static_cast<rlim_t>(cpuSeconds), static_cast<rlim_t>(cpuSeconds) + 1);
#ifndef LUGATIM_HELPER_ASAN
  Limit(RLIMIT_DATA, static_cast<rlim_t>(memoryMiB) << 20, static_cast<rlim_t>(memoryMiB) << 20);
#endif

  const std::string outOfMemory =
      EncodeMetafileError(kind + " picture could not be decoded (the decoder ran out of its " +
                          std::to_string(memoryMiB) + " MiB of memory)");
  try {
    const std::string data = ReadInput();
    // Text needs a font database, which needs an application object; the
    // offscreen platform needs no display.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const QImage image = lugatim::codecs::RenderMetafile(
        data, wmf ? lugatim::codecs::TMetafileKind::kWmf : lugatim::codecs::TMetafileKind::kEmf);
    Answer(EncodeMetafileResult(image));
  } catch (const lugatim::codecs::EInvalidGraphic& e) {
    Answer(EncodeMetafileError(e.Message()));
  } catch (const std::bad_alloc&) {
    Answer(outOfMemory);
  }
}
