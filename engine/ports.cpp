#include "engine/ports.h"

int OUTPUT_GATE::process() {
  onTime += 1.0f;
  return 1;
}

void OUTPUT_GATE::gateOn() {
  gate = 1;
  onTime = 0.0f;
}

void OUTPUT_GATE::gateOff() { gate = 0; }

void OUTPUT_SYNC::trigger() { pending = 1; }

INPUT_GATE::INPUT_GATE(OUTPUT_GATE* source) : gateSource(source ? &source->gate : nullptr) {}

void INPUT_GATE::connectGate(OUTPUT_GATE* source) { gateSource = source ? &source->gate : nullptr; }

void INPUT::connect(const OUTPUT* output) { source = output ? &output->value : nullptr; }

INPUT_SYNC::INPUT_SYNC(const OUTPUT_SYNC* source) : syncSource(source ? &source->fired : nullptr) {}

void INPUT_SYNC::connectSync(const OUTPUT_SYNC* source) { syncSource = source ? &source->fired : nullptr; }
