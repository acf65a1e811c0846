#pragma once
// Port interfaces. A binding is a plain pointer from a consumer to a field of
// its producer (`value`, `gate` or `fired`); null means unbound. Bindings are
// changed by the patch readers and the GUI while the audio thread reads them,
// so each pointer is itself a shared word.

#include "engine/shared.h"

// Signal output. Audio thread writes `value`; consumers, panels and the render
// callback read it.
class OUTPUT {
 public:
  explicit OUTPUT(float initial = 0.0f) : value(initial) {}
  virtual ~OUTPUT() = default;
  virtual int process() = 0;

  Shared<float> value;
};

// Gate output: a level, 1 = open. Written by keyboards (main or remote thread),
// sequencers and one-shot samplers (audio thread).
class OUTPUT_GATE {
 public:
  virtual ~OUTPUT_GATE() = default;
  // Adds 1 to `onTime`; returns 1.
  virtual int process();
  void gateOn();
  void gateOff();

  Shared<float> onTime{0.0f};
  Shared<int> gate{0};
};

// Sync output: `trigger` arms `pending`; the owner's step turns it into one
// step with `fired` = 1.
class OUTPUT_SYNC {
 public:
  virtual ~OUTPUT_SYNC() = default;
  // A pending trigger becomes `fired` = 1 for this step, otherwise 0. Here so
  // that the owners' steps inline it.
  virtual int process() {
    if (pending == 1) {
      pending = 0;
      fired = 1;
    } else {
      fired = 0;
    }
    return 1;
  }
  void trigger();

  Shared<int> pending{0};
  Shared<int> fired{0};
};

// Gate input: points at the `gate` of some OUTPUT_GATE. Non-const because a
// one-shot sampler closes the gate that drives it.
class INPUT_GATE {
 public:
  explicit INPUT_GATE(OUTPUT_GATE* source = nullptr);
  virtual ~INPUT_GATE() = default;
  virtual int process() = 0;
  void connectGate(OUTPUT_GATE* source);

  Shared<Shared<int>*> gateSource;
};

// Signal input: points at the `value` of some OUTPUT.
class INPUT {
 public:
  INPUT() = default;
  void connect(const OUTPUT* output);
  bool connected() const { return source.load() != nullptr; }
  // The bound value; call only when connected.
  float read() const { return source.load()->load(); }

  Shared<const Shared<float>*> source{nullptr};
};

// Sync input: points at the `fired` of some OUTPUT_SYNC.
class INPUT_SYNC {
 public:
  explicit INPUT_SYNC(const OUTPUT_SYNC* source = nullptr);
  void connectSync(const OUTPUT_SYNC* source);

  Shared<const Shared<int>*> syncSource;
};

// Copies a module name, keeping at most 79 characters (and never more than the
// field holds).
template <unsigned long N>
void copyName(char (&field)[N], const char* text) {
  static_assert(N >= 80);
  unsigned long i = 0;
  if (text != nullptr) {
    for (; i < 79 && text[i] != '\0'; ++i) field[i] = text[i];
  }
  field[i] = '\0';
}
