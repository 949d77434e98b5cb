// Accepting connections and receiving their requests, many at once.
#include "programs/localweb/request_loop.h"

#include <iterator>
#include <utility>
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

RequestLoop::RequestLoop(Socket listener, RequestLoopHandlers handlers, int places)
    : listener_(listener), handlers_(handlers), places_(places) {
  ListenWhenRoom();
  handlers_.waiting();
}

bool RequestLoop::Next(ArrivedRequest* request, int* error) {
  while (arrived_.empty()) {
    if (ended_ || !Turn()) {
      *error = error_;
      return false;
    }
  }
  *request = std::move(arrived_.front());
  arrived_.pop_front();
  ++servingCount_;
  return true;
}

bool RequestLoop::Turn() {
  std::vector<Socket> ready;
  int wait = reading_.empty() && listening_ ? -1 : kSweepMs;
  if (!set_.Wait(wait, &ready)) return End(kSocketInterrupted), false;
  for (Socket socket : ready) {
    if (socket != listener_) {
      Receive(socket);
    } else if (!AcceptWaiting()) {
      return false;
    }
  }
  DropExpired();
  ListenWhenRoom();
  return true;
}

int RequestLoop::Open() const {
  return static_cast<int>(reading_.size() + arrived_.size()) + servingCount_;
}

bool RequestLoop::AcceptWaiting() {
  while (listening_) {
    if (Open() >= places_ && reading_.empty()) return PauseListening(0), true;
    uint32_t client = 0;
    int code = 0;
    Socket socket = TryAcceptConnection(listener_, &client, &code);
    if (socket == kInvalidSocket) {
      if (code == kSocketWouldBlock) return true;
      if (code != kSocketTooManyOpen && code != kSocketNoBuffers) return End(code), false;
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
  if (handlers_.arrived(reading->reader.Received())) return Arrived(reading);
  // Each connection is heard of once per wait for it, so that one whose
  // request has come needs no more telling apart.
  if (!set_.Watch(socket, true)) return Drop(reading);
  bySocket_[socket] = reading;
}

void RequestLoop::Receive(Socket socket) {
  auto found = bySocket_.find(socket);
  if (found == bySocket_.end()) return;
  auto reading = found->second;
  size_t before = reading->reader.Received().size();
  if (!reading->reader.ReceiveAvailable(kRequestLimit)) return Drop(reading);
  if (reading->reader.Received().size() > before) reading->lastReceived = ElapsedMs();
  if (handlers_.arrived(reading->reader.Received())) return Arrived(reading);
  if (!set_.Rewatch(socket)) Drop(reading);
}

// The connection is no longer watched: it was heard of once, or not at all.
void RequestLoop::Arrived(std::list<Reading>::iterator reading) {
  bySocket_.erase(reading->socket);
  arrived_.push_back({reading->socket, std::move(reading->reader)});
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

// The connections not yet given out are closed unanswered: the server ends.
void RequestLoop::End(int error) {
  ended_ = true;
  error_ = error;
  while (!reading_.empty()) Drop(reading_.begin());
  for (ArrivedRequest& request : arrived_) CloseConnection(request.socket);
  arrived_.clear();
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
