// The tests' thread is a single-threaded apartment for the whole run, as the host's UI thread is.
#include <gtest/gtest.h>
#include <objbase.h>

namespace {

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_hr = ::CoInitialize(nullptr); }
    void TearDown() override {
        if (SUCCEEDED(m_hr)) ::CoUninitialize();
    }
private:
    HRESULT m_hr = E_FAIL;
};

::testing::Environment* const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
