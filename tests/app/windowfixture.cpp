#include "windowfixture.h"

using namespace Qt::StringLiterals;

WindowFixture::WindowFixture(Sim simulator) : sim(simulator)
{
    install(env, {{sim, simFolder(sim)}});
}

QString WindowFixture::simFolder(Sim sim)
{
    switch (sim) {
    case Sim::FS2000:
        return u"C:\\FS2000"_s;
    case Sim::FS2002:
        return u"C:\\FS2002"_s;
    case Sim::CFS2:
        return u"C:\\CFS2"_s;
    }
    return {};
}

void WindowFixture::write(const Library &library, const Library &areas)
{
    library.writeLibraryFiles(env);
    areas.writeSceneryCfg(env, simFolder() + u"\\Scenery.cfg"_s, u"World"_s);
}

frmScenery &WindowFixture::create(UiPort *ui)
{
    if (ui)
        context = std::make_unique<AppContext>(AppContext{env.fs, *env.settings, *ui, env.program});
    AppContext &used = ui ? *context : env.context;
    manager = std::make_unique<SceneryManager>(used);
    form = std::make_unique<frmScenery>(used, *manager);
    return *form;
}

frmScenery &WindowFixture::load(const Library &library, const Library &areas)
{
    write(library, areas);
    create();
    form->Form_Load();
    return *form;
}

TreeNode *WindowFixture::node(const QString &key) const
{
    return form->trvScenery().node(key);
}

clsScenery &WindowFixture::scenery(const QString &key) const
{
    return *manager->colScenery.item(key);
}

void WindowFixture::select(const QString &key)
{
    form->trvScenery().setSelectedItem(node(key));
    form->trvScenery_NodeClick(node(key));
}

void WindowFixture::check(const QString &key, bool checked)
{
    node(key)->setChecked(checked);
    form->trvScenery_NodeCheck(node(key));
}

void WindowFixture::typeSet(const QString &name)
{
    form->cboScenerySet_Change(name);
    form->cboScenerySet_KeyDown(Qt::Key_Return);
}

QStringList WindowFixture::tickedTitles() const
{
    QStringList titles;
    for (const TreeNode *n = form->trvScenery().firstRoot(); n; n = n->nextInWalk()) {
        if (n->checked())
            titles << n->text();
    }
    return titles;
}

QStringList WindowFixture::childTitles(const QString &key) const
{
    const TreeNode *first = key.isEmpty() ? form->trvScenery().firstRoot() : node(key)->firstChild();
    QStringList titles;
    for (const TreeNode *n = first; n; n = n->next())
        titles << n->text();
    return titles;
}

QStringList WindowFixture::members(const QString &set) const
{
    const CfgPtr found = manager->dicCFGs.value(set);
    return found ? found->colUsedSceneries.keys() : QStringList();
}

QString WindowFixture::statusText() const
{
    return form->status().stbStatus().panels[0];
}
