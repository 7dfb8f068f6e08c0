#include "ui/options/SkinsPage.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "strings/StringIds.h"
#include "ui/options/OptionsHost.h"
#include "ui/common/ResourceText.h"

CSkinsPage::CSkinsPage(QWidget* parent, OptionsContext& context)
    : QWidget(parent), m_context(context), m_list(new QListWidget)
{
    auto* label = new QLabel(ResourceText(StringId::SkinsHint));
    label->setWordWrap(true);
    label->setBuddy(m_list);
    m_list->setObjectName("skins");
    m_list->setAccessibleName(ResourceText(StringId::TabSkins));
    m_list->setAccessibleDescription(label->text());
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);

    // The user's skins beside the shipped ones, sorted by name; a skin that
    // cannot show its keys at this scale is not offered.
    const QString current = QString::fromStdString(CSettingsStore::Instance().IniFile());
    for (const std::string& name : context.resources.ListSkins(context.window.DoubleScale())) {
        const QString file = QString::fromStdString(name);
        auto* item = new QListWidgetItem(file.chopped(4), m_list);
        item->setData(Qt::UserRole, file);
        if (file.compare(current, Qt::CaseInsensitive) == 0) m_list->setCurrentItem(item);
    }
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = m_list->selectedItems();
        if (chosen.isEmpty()) return;
        CSettingsStore::Instance().SetIniFile(chosen.first()->data(Qt::UserRole).toString().toStdString());
        m_context.flags.skinChanged = 1;
    });
}
