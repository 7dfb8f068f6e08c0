#include "ui/options/SkinsPage.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "strings/StringIds.h"
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

    std::string folder;
    context.resources.GetProgramFolder(folder);
    // Sorted by name, whatever order the file system keeps them in.
    const QStringList files = QDir(QString::fromStdString(folder + "Skins"))
                                  .entryList({"*.ini"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    const QString current = QString::fromStdString(CSettingsStore::Instance().IniFile());
    for (const QString& file : files) {
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
