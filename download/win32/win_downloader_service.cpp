// The system URL download service: URLDownloadToFileW with a bind-status callback
// that forwards progress, aborts when the downloader goes, and refuses an HTTP error
// answer (some urlmon versions save the error page and report success).
#include <windows.h>
#include <urlmon.h>

#include <atomic>
#include <mutex>

#include "download/win_downloader.h"

namespace {
constexpr DWORD kFirstHttpErrorStatus = 400;
}

class CWinDownloader::CBindCallback : public IBindStatusCallbackEx, public IHttpNegotiate {
 public:
  ~CBindCallback() { m_Abort = true; }

  void SetCallback(const StatusCallback& callback) {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Callback = callback;
  }
  void Abort() { m_Abort = true; }
  bool Aborted() const { return m_Abort; }
  // Per service call: whether the server answered with an error status.
  void BeginAttempt() { m_ErrorAnswer = false; }
  bool ErrorAnswer() const { return m_ErrorAnswer; }

  // Lives inside its downloader: no reference counting. Hands out only what urlmon
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
    if (m_Abort) return E_ABORT;
    if (maximum == 0) return S_OK;
    StatusCallback callback;
    {
      std::lock_guard<std::mutex> lock(m_Lock);
      callback = m_Callback;
    }
    if (callback) callback(DL_CODE_PROGRESS, double(progress) / double(maximum), L"");
    return S_OK;
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
  std::mutex m_Lock;
  StatusCallback m_Callback;
  std::atomic<bool> m_Abort{false};
  std::atomic<bool> m_ErrorAnswer{false};  // urlmon may call back on a thread of its own
  IBinding* m_Binding = nullptr;  // kept, not used
};

CWinDownloader::CWinDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& filePath)
    : m_BindCallback(std::make_unique<CBindCallback>()),
      m_Callback(std::move(callback)),
      m_FilePath(filePath),
      m_Url(url) {
  CreateWorker();
}

CWinDownloader::~CWinDownloader() { StopWorker(); }

void CWinDownloader::BindSetCallback(const StatusCallback& callback) { m_BindCallback->SetCallback(callback); }
void CWinDownloader::BindAbort() { m_BindCallback->Abort(); }
bool CWinDownloader::BindAborted() const { return m_BindCallback->Aborted(); }
void CWinDownloader::ServiceThreadBegin() { CoInitialize(nullptr); }
void CWinDownloader::ServiceThreadEnd() { CoUninitialize(); }

int32_t CWinDownloader::CallService(const std::wstring& requestUrl) {
  m_BindCallback->BeginAttempt();
  HRESULT result = URLDownloadToFileW(nullptr, requestUrl.c_str(), m_FilePath.c_str(), 0,
                                      static_cast<IBindStatusCallback*>(m_BindCallback.get()));
  // The answer was refused even if the service saved it and reported success.
  if (SUCCEEDED(result) && m_BindCallback->ErrorAnswer()) result = E_ABORT;
  return int32_t(result);
}
