#pragma once

#include <cstdint>

// Result code of model operations; operations that return a value report it through an
// optional out-parameter.
typedef uint32_t MODEL_RESULT;

constexpr MODEL_RESULT MODEL_RESULT_OK = 0;
constexpr MODEL_RESULT MODEL_RESULT_ERROR = 1;

// The parameter identifier of a connection that has not been given one.
constexpr unsigned int UndefinedId = 0xFFFFFFFFu;

inline void setModelResult(MODEL_RESULT* out, MODEL_RESULT code)
{
    if (out != nullptr) {
        *out = code;
    }
}
