// The system URL download service: URLDownloadToFileW with a bind-status callback
// that forwards progress, aborts when the downloader goes, and refuses an HTTP error
// answer (some urlmon versions save the error page and report success).
#include <windows.h>
#include <urlmon.h>

#include <atomic>

#include "download/win_downloader.h"

namespace {
constexpr DWORD kFirstHttpErrorStatus = 400;
}

class CWinDownloader::CBindCallback : public IBindStatusCallbackEx, public IHttpNegotiate {
 public:
  explicit CBindCallback(BindProgress& progress) : m_Progress(progress) {}
  // Whether the server answered with an error status.
  bool ErrorAnswer() const { return m_ErrorAnswer; }

  // Lives for one synchronous service call: no reference counting. Hands out only what urlmon
  // needs to reach OnResponse; not IBindStatusCallbackEx, whose GetBindInfoEx is not
  // implemented and would then be asked instead of GetBindInfo.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBindStatusCallback)) {
      *object = static_cast<IBindStatusCallback*>(this);
    } else if (IsEqualIID(iid, IID_IHttpNegotiate)) {
      *object = static_cast<IHttpNegotiate*>(this);
    } else {
      return E_NOTIMPL;
    }
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 0; }
  STDMETHODIMP_(ULONG) Release() override { return 0; }
  STDMETHODIMP OnStartBinding(DWORD, IBinding* binding) override {
    m_Binding = binding;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnLowResource(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP OnProgress(ULONG progress, ULONG maximum, ULONG, LPCWSTR) override {
    return m_Progress.Forward(progress, maximum) ? S_OK : E_ABORT;
  }
  STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP GetBindInfo(DWORD*, BINDINFO* info) override {
    if (info) info->dwCodePage = CP_UTF8;
    return E_NOTIMPL;
  }
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return E_NOTIMPL; }
  STDMETHODIMP GetBindInfoEx(DWORD*, BINDINFO*, DWORD*, DWORD*) override { return E_NOTIMPL; }

  STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) override {
    if (additionalHeaders) *additionalHeaders = nullptr;
    return S_OK;
  }
  // An error answer is no file: abort the binding, and remember it in case the
  // service goes on regardless.
  STDMETHODIMP OnResponse(DWORD status, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) override {
    if (additionalHeaders) *additionalHeaders = nullptr;
    if (status < kFirstHttpErrorStatus) return S_OK;
    m_ErrorAnswer = true;
    return E_ABORT;
  }

 private:
  BindProgress& m_Progress;
  std::atomic<bool> m_ErrorAnswer{false};  // urlmon may call back on a thread of its own
  IBinding* m_Binding = nullptr;  // kept, not used
};

void CWinDownloader::ServiceThreadBegin() { CoInitialize(nullptr); }
void CWinDownloader::ServiceThreadEnd() { CoUninitialize(); }

int32_t CWinDownloader::CallService(const std::wstring& requestUrl) {
  CBindCallback bind(m_Progress);
  HRESULT result = URLDownloadToFileW(nullptr, requestUrl.c_str(), m_FilePath.c_str(), 0,
                                      static_cast<IBindStatusCallback*>(&bind));
  // The answer was refused even if the service saved it and reported success.
  if (SUCCEEDED(result) && bind.ErrorAnswer()) result = E_ABORT;
  return int32_t(result);
}
