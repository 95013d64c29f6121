#include "app/option_answer.h"

#include "runtime/stream/text_input.h"

namespace {

// The input of one answer at a time; it reads the option's text in place.
TextInput gAnswerInput;

}  // namespace

int32_t ReadIntegerAnswer(const char* text) {
  OpenText(gAnswerInput, text);
  return ReadInteger(gAnswerInput);
}

Extended ReadRealAnswer(const char* text) {
  OpenText(gAnswerInput, text);
  return ReadReal(gAnswerInput);
}
