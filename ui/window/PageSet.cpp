#include "ui/window/PageSet.h"

#include "skins/SkinResources.h"
#include "skins/SkinText.h"
#include "strings/StringIds.h"
#include "ui/common/ResourceText.h"
#include "ui/pages/ConverterPage.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/KeypadPage.h"
#include "ui/pages/PageAccessible.h"

namespace {
const uint32_t kGrey = 0x8C8C8C;  // red, green, blue 140
const uint32_t kConverterBackground = 0x0000FF;
}  // namespace

CPageSet::CPageSet(QWidget* host, IMessageTarget* target, CSkinResources& resources, CPageBand& band,
                   CCalcController& calculator, const std::vector<GroupMenuItem>* items)
    : m_host(host), m_target(target), m_resources(resources), m_band(band), m_calculator(calculator), m_items(items)
{
}

CPageSet::~CPageSet() { Destroy(); }

void CPageSet::BuildFixed(int compact)
{
    CDisplayPage::PrepareFonts(m_resources);
    m_mainKeypad = new CKeypadPage(m_host, m_resources, nullptr);
    m_mainKeypad->SetCalculator(&m_calculator);
    m_mainKeypad->Load("Main", m_target, 1, compact, 240, 160, 40, 134);
    m_mainKeypad->move(ArtToLogical(QPoint(m_offset, m_resources.Scaled(134))));
    m_mainKeypad->setAccessibleName(ResourceText(StringId::KeypadName));
    m_mainKeypad->show();
    m_display = new CDisplayPage(m_host, m_resources, m_calculator);
    m_display->Setup(m_items, m_target, kGrey);
    m_display->setAccessibleName(ResourceText(StringId::DisplayName));
    m_display->move(ArtToLogical(m_offset), 0);
    m_display->hide();
}

CSkinPage* CPageSet::Create(int kind)
{
    const GroupKind* row = FindGroupKind(kind);
    if (!row || m_pages[kind]) return row ? m_pages[kind] : nullptr;
    CSkinPage* page = nullptr;
    if (row->page == EGroupPage::Keypad) {
        auto* keypad = new CKeypadPage(m_host, m_resources, &m_band);
        keypad->SetCalculator(&m_calculator);
        LoadGroup(keypad, row->section);
        keypad->move(ArtToLogical(QPoint(m_offset, m_resources.Scaled(54))));
        page = keypad;
    } else {
        CConverterPage* other = factory ? factory(kind, m_host, m_resources, m_band, m_calculator) : nullptr;
        if (!other) return nullptr;
        other->Setup(m_items, m_target, kConverterBackground);
        other->move(ArtToLogical(m_offset), 0);
        page = other;
    }
    page->setAccessibleName(QString::fromStdString(GroupMenuText(kind)));
    page->hide();
    m_pages[kind] = page;
    return page;
}

void CPageSet::LoadGroup(CKeypadPage* page, const char* section)
{
    page->Load(section, m_target, 0, 0, 240, 80, 40, 54);
}

int CPageSet::Reload(int kind)
{
    const GroupKind* row = FindGroupKind(kind);
    auto* page = dynamic_cast<CKeypadPage*>(OfKind(kind));
    if (!row || !page) return 0;
    LoadGroup(page, row->section);
    page->SetBackgroundFlag();
    page->InvalidateAll();
    return 1;
}

void CPageSet::Destroy()
{
    for (CSkinPage*& page : m_pages) {
        delete page;
        page = nullptr;
    }
    delete m_display;
    m_display = nullptr;
    delete m_mainKeypad;
    m_mainKeypad = nullptr;
}

CSkinPage* CPageSet::OfKind(int kind) const
{
    return kind >= 1 && kind < static_cast<int>(m_pages.size()) ? m_pages[kind] : nullptr;
}

void CPageSet::SetBackgroundFlags()
{
    for (CSkinPage* page : m_pages)
        if (auto* keypad = dynamic_cast<CKeypadPage*>(page)) keypad->SetBackgroundFlag();
    if (m_mainKeypad) m_mainKeypad->SetBackgroundFlag();
}

void CPageSet::InvalidateValues()
{
    if (m_display) m_display->InvalidateAll();
    for (CSkinPage* page : m_pages)
        if (page && !dynamic_cast<CKeypadPage*>(page)) {
            page->InvalidateAll();
            // A converter page in view reads out its converted value.
            if (page->isVisible()) NotifyValueChanged(page);
        }
    NotifyValueChanged(m_display);
}
