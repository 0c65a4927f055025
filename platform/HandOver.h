#pragma once
// Handing a word to the copy that already runs in this session: a local
// (Unix domain) stream socket beside the single-instance lock file.
//
// A request is at most kMaxRequestBytes of UTF-8:
//   "LOOKUP <word>\n"            the word or phrase to put into the search box
//   "TOKEN <activation token>\n" optional: the desktop's token for raising the window
// and ends when the sender closes its side. The running copy answers "OK\n"
// once it has taken a well-formed request and closes the connection without a
// word for anything else. Only a process of the same user is ever served
// (the peer's credentials are checked on both sides), and the socket file
// is readable and writable by its owner only.

#include <optional>
#include <string>
#include <string_view>

namespace lugatim::platform {

inline constexpr size_t kMaxRequestBytes = 4096;

// The socket this session's running copy listens on: "Lugatim_Kelime" in
// the session folder (SingleInstance.h); empty when that folder is refused,
// and then nothing listens and nothing is sent.
std::string HandOverSocketPath();

struct THandOverRequest {
  std::string word;
  std::string activationToken;  // empty when the sender had none
};

// The bytes of a request; nullopt when the word or token cannot be sent
// (empty, control characters, not UTF-8, or too long together).
std::optional<std::string> EncodeRequest(const THandOverRequest& request);

// The request these bytes hold; nullopt for anything that is not exactly one
// well-formed request.
std::optional<THandOverRequest> DecodeRequest(std::string_view bytes);

// The running copy's side. Listen() replaces a stale socket file of a copy
// that died (call it only while holding the single-instance lock) and binds
// a new one; the destructor removes the file it made.
class THandOverListener {
 public:
  explicit THandOverListener(std::string path = HandOverSocketPath());
  ~THandOverListener();
  THandOverListener(const THandOverListener&) = delete;
  THandOverListener& operator=(const THandOverListener&) = delete;

  // Returns false (and the reason in Error()) when the socket could not be made.
  bool Listen();
  // The listening descriptor (non-blocking), or -1.
  int Fd() const { return fd_; }
  // Accepts one waiting connection from a process of this user: its
  // descriptor (non-blocking, close-on-exec), or -1 when none waits. A
  // connection from another user is closed at once.
  int Accept();
  const std::string& Path() const { return path_; }
  const std::string& Error() const { return error_; }

 private:
  std::string path_;
  std::string error_;
  int fd_ = -1;
  unsigned long long inode_ = 0;  // of the socket file this listener made
};

enum class THandOverResult {
  Delivered,   // the running copy took the request
  NoListener,  // nobody listens on the socket (yet)
  Refused,     // a listener closed without taking it, or is not this user's
};

// Sends one request and waits up to timeoutMs for the answer.
THandOverResult SendHandOver(const std::string& path, const std::string& requestBytes,
                             int timeoutMs);

}  // namespace lugatim::platform
