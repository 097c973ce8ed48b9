// Login throttling (see login_throttle.h).
#include "login_throttle.h"

#include <algorithm>
#include <vector>

namespace edb {

namespace {

// Past this many remembered names or addresses, the quiet ones are dropped.
constexpr size_t kMaxRecords = 10000;

}  // namespace

int64_t LoginThrottle::Remaining(const Records& records, std::string_view key, Clock::time_point now) const {
  auto it = records.find(key);
  if (it == records.end() || it->second.until <= now) return 0;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(it->second.until - now).count();
  return (left + 999) / 1000;
}

int64_t LoginThrottle::WaitSeconds(std::string_view user, std::string_view address, Clock::time_point now) {
  if (settings_.firstDelaySeconds <= 0) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  return std::max(Remaining(users_, user, now), Remaining(addresses_, address, now));
}

void LoginThrottle::Count(Records& records, std::string_view key, int32_t freeFailures, Clock::time_point now) {
  if (records.size() >= kMaxRecords) Forget(records, now);
  auto it = records.find(key);
  if (it == records.end()) it = records.emplace(std::string(key), Record()).first;
  Record& record = it->second;
  if (now - record.last > std::chrono::seconds(settings_.forgetAfterSeconds)) record.failures = 0;
  record.last = now;
  if (record.failures < 1000000) ++record.failures;
  int32_t over = record.failures - freeFailures;
  if (over <= 0) return;
  int64_t delay = settings_.firstDelaySeconds;
  for (int32_t i = 1; i < over && delay < settings_.maxDelaySeconds; ++i) delay *= 2;
  delay = std::min<int64_t>(delay, settings_.maxDelaySeconds);
  record.until = now + std::chrono::seconds(delay);
}

void LoginThrottle::Failed(std::string_view user, std::string_view address, Clock::time_point now) {
  if (settings_.firstDelaySeconds <= 0) return;
  std::lock_guard<std::mutex> lock(mutex_);
  Count(users_, user, settings_.freeFailures, now);
  Count(addresses_, address, settings_.freeFailures * settings_.addressFactor, now);
}

void LoginThrottle::Succeeded(std::string_view user, std::string_view address) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto u = users_.find(user);
  if (u != users_.end()) users_.erase(u);
  auto a = addresses_.find(address);
  if (a != addresses_.end()) addresses_.erase(a);
}

void LoginThrottle::Forget(Records& records, Clock::time_point now) {
  auto quiet = std::chrono::seconds(settings_.forgetAfterSeconds);
  for (auto it = records.begin(); it != records.end();) {
    it = now - it->second.last > quiet && it->second.until <= now ? records.erase(it) : std::next(it);
  }
  // Still full: an address cycling through names.  Keep the newest half.
  if (records.size() >= kMaxRecords) {
    std::vector<Clock::time_point> times;
    for (const auto& entry : records) times.push_back(entry.second.last);
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    Clock::time_point median = times[times.size() / 2];
    for (auto it = records.begin(); it != records.end();) {
      it = it->second.last < median ? records.erase(it) : std::next(it);
    }
  }
}

}  // namespace edb
