#include "ResultWriter.h"

#include <new>

std::unique_ptr<char[]> ResultWriter::NewResultBuffer() {
  return std::unique_ptr<char[]>(
      new (std::nothrow) char[DIRECTIVE_RESULT_CAPACITY]);
}
