// Speech through espeak-ng. The synthesiser keeps one state per process, so there is one
// Voice per process; its own thread does the talking, and no caller waits for a sentence.
#pragma once

#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace dh::agent {

class Voice {
public:
  static Voice& instance();
  ~Voice();
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;

  // Queues the text to be read aloud and returns at once. Without a sound device the
  // words are synthesised and dropped, quietly.
  void speak(const QString& text, const QString& voiceName);
  // The text as 16-bit mono samples at sampleRate(); empty when synthesis fails.
  std::vector<std::int16_t> synthesize(const QString& text, const QString& voiceName);
  int sampleRate();

private:
  Voice();
  struct Job {
    QByteArray text;
    QByteArray voice;
    bool aloud;
    std::promise<std::vector<std::int16_t>> samples;
  };
  void run();
  std::future<std::vector<std::int16_t>> post(const QString& text, const QString& voice,
                                              bool aloud);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool stopping_ = false;
  int sampleRate_ = 0;
  std::promise<void> ready_;
  std::thread worker_;
};

} // namespace dh::agent
