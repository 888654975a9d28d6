#pragma once
// COM initialised on the calling thread for the life of the object (single-threaded
// apartment), released again when COM was initialised by it. Nothing on POSIX.
class ComScope {
 public:
  ComScope();
  ~ComScope();
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool m_Initialised = false;
};
