// Attachment points, and hanging a child on a parent's point.
#include "argument_checks.h"
#include "sim/attachments.h"
#include "sim/vec.h"
#include "sim/vessel.h"
#include "sim/world.h"
#include "vessel_access.h"

ATTACHMENTHANDLE VESSEL::CreateAttachment(bool toparent, const VECTOR3& pos, const VECTOR3& dir,
                                          const VECTOR3& rot, const char* id, bool loose) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("CreateAttachment", toparent, pos, dir, rot, id, loose);
    auto a = std::make_unique<sim::Attachment>();
    a->owner = &v;
    a->to_parent = toparent;
    a->pos = pos;
    a->dir = dir;
    a->rot = rot;
    a->id = id ? id : "";
    a->loose = loose;
    v.attachments.push_back(std::move(a));
    return v.attachments.back().get();
}

ATTACHMENTHANDLE VESSEL::GetAttachmentHandle(bool toparent, DWORD i) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetAttachmentHandle", toparent, static_cast<unsigned>(i));
    return v.attachment_point(toparent, i);
}

OBJHANDLE VESSEL::GetAttachmentStatus(ATTACHMENTHANDLE attachment) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("GetAttachmentStatus", attachment);
    const sim::Attachment* a = v.attachment(attachment);
    sim::check_handle(v, "GetAttachmentStatus", "attachment", attachment, a || !attachment);
    return a && a->attached ? a->attached->handle() : nullptr;
}

bool VESSEL::AttachChild(OBJHANDLE child, ATTACHMENTHANDLE attachment,
                         ATTACHMENTHANDLE child_attachment) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("AttachChild", child, attachment, child_attachment);
    // The handle is looked up among the world's objects before anything of it is read.
    sim::World* w = sim::World::current();
    auto* obj = static_cast<sim::Object*>(child);
    sim::Vessel* c = w && w->owns(obj) ? sim::as_vessel(child) : nullptr;
    if (!sim::check_object(v, "AttachChild", "vessel", child, c != nullptr))
        return false;
    return sim::attach(v.attachment(attachment), c->attachment(child_attachment));
}

bool VESSEL::DetachChild(ATTACHMENTHANDLE attachment, double vel) const {
    auto& v = sim::stand_in_of(this);
    v.trace.record("DetachChild", attachment, vel);
    sim::Attachment* a = v.attachment(attachment);
    sim::check_handle(v, "DetachChild", "attachment", attachment, a || !attachment);
    return sim::detach(a, vel);
}
