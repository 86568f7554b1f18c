#pragma once

#include <string>
#include <typeindex>
#include <unordered_map>
#include <vector>

class cGameInstance;
class cGameObject;

// The objects in play and those waiting to join, owned, with the ids they are given.
class cObjectList {
public:
    cObjectList() = default;
    ~cObjectList();
    cObjectList(const cObjectList&) = delete;
    cObjectList& operator=(const cObjectList&) = delete;

    // The object waits in vNewObjects; returns the id it was given.
    int Add(cGameObject* pObject);
    // Puts an object in play: at the end of vObjects and of its class's list.
    void Join(cGameObject* pObject);
    // Every waiting object joins, in its order.
    void JoinNew();
    cGameObject* Get(int iId) const;
    // The first object in play of exactly the named class that pObject collides with, or null.
    cGameObject* Collide(cGameObject* pObject, const std::string& sClass, cGameInstance* pGame);
    // How many objects of exactly that class are in play.
    int Count(const std::type_index& type) const;
    // Destroys the objects marked deleted; the others keep their order.
    void Purge();
    // Destroys every object in play; those waiting stay.
    void DeleteAll();
    // Destroys the waiting objects.
    void DeleteNew();

    std::vector<cGameObject*> vObjects;
    std::vector<cGameObject*> vNewObjects;
    int iNextId = 1;

private:
    // The objects in play by their exact class, each list in the order of vObjects: a search for
    // one class never walks the objects of the others.
    std::unordered_map<std::type_index, std::vector<cGameObject*>> mClasses;
};
