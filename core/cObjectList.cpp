#include "core/cObjectList.h"

#include <algorithm>
#include <functional>
#include <typeinfo>

#include "objects/cGameObject.h"

cObjectList::~cObjectList() {
    DeleteAll();
    DeleteNew();
}

int cObjectList::Add(cGameObject* pObject) {
    pObject->SetId(iNextId++);
    vNewObjects.push_back(pObject);
    return pObject->Id();
}

void cObjectList::Join(cGameObject* pObject) {
    vObjects.push_back(pObject);
    mClasses[typeid(*pObject)].push_back(pObject);
}

void cObjectList::JoinNew() {
    for (cGameObject* pObject : vNewObjects)
        Join(pObject);
    vNewObjects.clear();
}

cGameObject* cObjectList::Get(int iId) const {
    for (cGameObject* pObject : vObjects)
        if (pObject->Id() == iId)
            return pObject;
    return nullptr;
}

cGameObject* cObjectList::Collide(cGameObject* pObject, const std::string& sClass,
                                  cGameInstance* pGame) {
    if (!pObject)
        return nullptr;
    for (const auto& [type, vList] : mClasses) {
        if (sClass != type.name())
            continue;
        for (cGameObject* pListed : vList)
            if (pListed->Collides(pObject, pGame))
                return pListed;
        break;
    }
    return nullptr;
}

int cObjectList::Count(const std::type_index& type) const {
    const auto it = mClasses.find(type);
    return it == mClasses.end() ? 0 : static_cast<int>(it->second.size());
}

void cObjectList::Purge() {
    const auto bDeleted = [](const cGameObject* pObject) { return pObject->IsDeleted(); };
    for (auto& [type, vList] : mClasses)
        vList.erase(std::remove_if(vList.begin(), vList.end(), bDeleted), vList.end());
    auto itKept = std::stable_partition(vObjects.begin(), vObjects.end(), std::not_fn(bDeleted));
    for (auto it = itKept; it != vObjects.end(); ++it)
        delete *it;
    vObjects.erase(itKept, vObjects.end());
}

void cObjectList::DeleteAll() {
    for (cGameObject* pObject : vObjects)
        delete pObject;
    vObjects.clear();
    mClasses.clear();
}

void cObjectList::DeleteNew() {
    for (cGameObject* pObject : vNewObjects)
        delete pObject;
    vNewObjects.clear();
}
