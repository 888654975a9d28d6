// The system URL download service: URLDownloadToFileW with a bind-status callback
// that forwards progress and aborts when the downloader goes.
#include <windows.h>
#include <urlmon.h>

#include <atomic>
#include <mutex>

#include "download/win_downloader.h"

class CWinDownloader::CBindCallback : public IBindStatusCallbackEx {
 public:
  ~CBindCallback() { m_Abort = true; }

  void SetCallback(const StatusCallback& callback) {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Callback = callback;
  }
  void Abort() { m_Abort = true; }
  bool Aborted() const { return m_Abort; }

  // Lives inside its downloader: no interfaces handed out, no reference counting.
  STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOTIMPL; }
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

 private:
  std::mutex m_Lock;
  StatusCallback m_Callback;
  std::atomic<bool> m_Abort{false};
  IBinding* m_Binding = nullptr;  // kept, not used
};

CWinDownloader::CWinDownloader(StatusCallback callback, const std::wstring& url, const std::wstring& filePath)
    : m_BindCallback(std::make_unique<CBindCallback>()),
      m_Callback(std::move(callback)),
      m_FilePath(filePath),
      m_Url(url) {
  m_Worker = std::make_unique<Utils::Thread>(this, kDownloadThreadName, [](void* self) -> uint32_t {
    static_cast<CWinDownloader*>(self)->WorkerBody();
    return 0;
  });
  if (!m_Worker->IsValid()) m_Worker.reset();
}

CWinDownloader::~CWinDownloader() {
  m_BindCallback->Abort();
  {
    std::lock_guard<std::mutex> lock(m_StartLock);
    m_Started = true;
  }
  if (m_Worker) {
    m_Worker->Resume();
    m_Worker->Join();
  }
}

void CWinDownloader::BindSetCallback(const StatusCallback& callback) { m_BindCallback->SetCallback(callback); }
void CWinDownloader::BindAbort() { m_BindCallback->Abort(); }
bool CWinDownloader::BindAborted() const { return m_BindCallback->Aborted(); }
void CWinDownloader::ServiceThreadBegin() { CoInitialize(nullptr); }
void CWinDownloader::ServiceThreadEnd() { CoUninitialize(); }

int32_t CWinDownloader::CallService(const std::wstring& requestUrl) {
  return int32_t(URLDownloadToFileW(nullptr, requestUrl.c_str(), m_FilePath.c_str(), 0, m_BindCallback.get()));
}
