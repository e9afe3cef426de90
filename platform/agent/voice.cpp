#include "platform/agent/voice.h"

#include <espeak-ng/espeak_ng.h>

namespace dh::agent {

namespace {

// Touched only on the worker thread, inside one synthesis.
std::vector<std::int16_t>* capture = nullptr;

int collect(short* wave, int count, espeak_EVENT*) {
  if (wave && capture)
    capture->insert(capture->end(), wave, wave + count);
  return 0;
}

espeak_ng_OUTPUT_MODE modeFor(bool aloud) {
  return aloud ? espeak_ng_OUTPUT_MODE(ENOUTPUT_MODE_SYNCHRONOUS | ENOUTPUT_MODE_SPEAK_AUDIO)
               : ENOUTPUT_MODE_SYNCHRONOUS;
}

} // namespace

Voice& Voice::instance() {
  static Voice voice;
  return voice;
}

Voice::Voice() {
  auto started = ready_.get_future();
  worker_ = std::thread([this] { run(); });
  started.wait();
}

Voice::~Voice() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  worker_.join();
}

int Voice::sampleRate() {
  std::lock_guard lock(mutex_);
  return sampleRate_;
}

void Voice::speak(const QString& text, const QString& voiceName) {
  post(text, voiceName, true);
}

std::vector<std::int16_t> Voice::synthesize(const QString& text, const QString& voiceName) {
  return post(text, voiceName, false).get();
}

std::future<std::vector<std::int16_t>> Voice::post(const QString& text, const QString& voice,
                                                   bool aloud) {
  std::lock_guard lock(mutex_);
  jobs_.push_back(Job{text.toUtf8(), voice.toUtf8(), aloud, {}});
  auto result = jobs_.back().samples.get_future();
  wake_.notify_one();
  return result;
}

void Voice::run() {
  espeak_ng_InitializePath(nullptr);
  const bool usable = espeak_ng_Initialize(nullptr) == ENS_OK &&
                      espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr) == ENS_OK;
  if (usable)
    espeak_SetSynthCallback(collect);
  {
    std::lock_guard lock(mutex_);
    sampleRate_ = usable ? espeak_ng_GetSampleRate() : 0;
  }
  ready_.set_value();

  bool aloudMode = false;
  for (;;) {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (stopping_)
      break;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();

    std::vector<std::int16_t> samples;
    if (usable && espeak_ng_SetVoiceByName(job.voice.constData()) == ENS_OK) {
      // A failed switch to the sound device (there is none) leaves the synthesis silent.
      if (job.aloud != aloudMode &&
          espeak_ng_InitializeOutput(modeFor(job.aloud), 0, nullptr) == ENS_OK)
        aloudMode = job.aloud;
      capture = job.aloud ? nullptr : &samples;
      espeak_ng_Synthesize(job.text.constData(), job.text.size() + 1, 0, POS_CHARACTER, 0,
                           espeakCHARS_UTF8, nullptr, nullptr);
      capture = nullptr;
    }
    job.samples.set_value(std::move(samples));
  }
  if (usable)
    espeak_ng_Terminate();
}

} // namespace dh::agent
