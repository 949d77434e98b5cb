// Accepting connections and receiving their requests on one thread.
#include "programs/localweb/request_loop.h"

#include <iterator>
#include <vector>

#include "platform/clock.h"

namespace {

// The most bytes a request can bring before its line or its header lines
// are too long; past it, what has come decides the request.
constexpr size_t kRequestLimit = kRequestLineBytes + kMaxHeaderBytes + 4;
// How often the deadlines are checked while connections are being read,
// and how long the listener rests when the system is short of resources.
constexpr int kSweepMs = 100;

}  // namespace

RequestLoop::RequestLoop(Socket listener, ConnectionPool* pool, RequestLoopHandlers handlers, int places)
    : listener_(listener), pool_(pool), handlers_(handlers), places_(places) {}

RequestLoop::~RequestLoop() {
  while (!reading_.empty()) Drop(reading_.begin());
}

int RequestLoop::Run() {
  ListenWhenRoom();
  handlers_.waiting();
  std::vector<Socket> ready;
  for (;;) {
    int wait = reading_.empty() && listening_ ? -1 : kSweepMs;
    if (!set_.Wait(wait, &ready)) return kSocketInterrupted;
    for (Socket socket : ready) {
      if (socket != listener_) {
        Receive(socket);
        continue;
      }
      int error = 0;
      if (!AcceptWaiting(&error)) return error;
    }
    DropExpired();
    ListenWhenRoom();
  }
}

int RequestLoop::Open() const { return static_cast<int>(reading_.size()) + pool_->Busy(); }

bool RequestLoop::AcceptWaiting(int* error) {
  while (listening_) {
    if (Open() >= places_ && reading_.empty()) return PauseListening(0), true;
    uint32_t client = 0;
    int code = 0;
    Socket socket = TryAcceptConnection(listener_, &client, &code);
    if (socket == kInvalidSocket) {
      if (code == kSocketWouldBlock) return true;
      if (code != kSocketTooManyOpen && code != kSocketNoBuffers) return *error = code, false;
      // What is short comes back as connections end: the one read longest
      // ends now, or the served ones are waited for.
      if (reading_.empty()) return PauseListening(kSweepMs), true;
      Drop(reading_.begin());
      continue;
    }
    if (!handlers_.admit(socket, client)) continue;
    handlers_.waiting();
    if (Open() >= places_) Drop(reading_.begin());
    Start(socket);
  }
  return true;
}

void RequestLoop::Start(Socket socket) {
  int64_t now = ElapsedMs();
  reading_.push_back({socket, RequestReader(socket), now, now});
  auto reading = std::prev(reading_.end());
  // Most clients send the whole request at once: it is often here already.
  if (!reading->reader.ReceiveAvailable(kRequestLimit)) return Drop(reading);
  if (handlers_.arrived(reading->reader.Received())) return Hand(reading);
  if (!set_.Watch(socket)) return Drop(reading);
  bySocket_[socket] = reading;
}

void RequestLoop::Receive(Socket socket) {
  auto found = bySocket_.find(socket);
  if (found == bySocket_.end()) return;
  auto reading = found->second;
  size_t before = reading->reader.Received().size();
  if (!reading->reader.ReceiveAvailable(kRequestLimit)) return Drop(reading);
  if (reading->reader.Received().size() > before) reading->lastReceived = ElapsedMs();
  if (handlers_.arrived(reading->reader.Received())) Hand(reading);
}

void RequestLoop::Hand(std::list<Reading>::iterator reading) {
  set_.Unwatch(reading->socket);
  bySocket_.erase(reading->socket);
  pool_->Take(reading->socket, std::move(reading->reader));
  reading_.erase(reading);
}

void RequestLoop::Drop(std::list<Reading>::iterator reading) {
  set_.Unwatch(reading->socket);
  bySocket_.erase(reading->socket);
  CloseConnection(reading->socket);
  reading_.erase(reading);
}

// A request must come within its total time, without a pause longer than
// the idle time.
void RequestLoop::DropExpired() {
  int64_t now = ElapsedMs();
  if (now - lastSweep_ < kSweepMs) return;
  lastSweep_ = now;
  for (auto reading = reading_.begin(); reading != reading_.end();) {
    auto next = std::next(reading);
    if (now - reading->accepted >= kRequestTotalMs || now - reading->lastReceived >= kRequestIdleMs) {
      Drop(reading);
    }
    reading = next;
  }
}

// While the listener rests, further clients wait in the listen queue.
void RequestLoop::PauseListening(int milliseconds) {
  if (listening_) set_.Unwatch(listener_);
  listening_ = false;
  resumeAt_ = ElapsedMs() + milliseconds;
}

void RequestLoop::ListenWhenRoom() {
  if (listening_ || Open() >= places_ || ElapsedMs() < resumeAt_) return;
  listening_ = set_.Watch(listener_);
}
