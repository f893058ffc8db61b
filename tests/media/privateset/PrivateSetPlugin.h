#pragma once

// Stand-ins for the private sets' modules in the tests. Each factory is an element type of its
// own, a bin around an installed element, so that the set really decodes (or splits) and its
// elements name their own factory. Two simpler ways fail: registering the installed element's
// type again under a second factory name makes every element of that type report whichever
// factory made one first; and a type derived from it needs the provider's plugin loaded inside
// plugin_init, where GStreamer holds its plugin loading lock (loading another plugin there never
// returns). The bin's templates come from the registry's description of the inner factory, and
// the inner element is made with each of our elements, once plugin_init has returned.

#include <gst/gst.h>

#define PACKAGE "tessarine-tests"

namespace TessPrivateSet {

struct TWrap {
    const char* TypeName; // unique in the process
    const char* Factory;
    const char* Inner; // the installed factory inside
    const char* Klass;
    const char* LongName;
};

struct TWrapClass {
    GstBinClass Parent;
    const TWrap* Wrap;
};

inline void WrapClassInit(gpointer aClass, gpointer aData)
{
    auto* klass = static_cast<TWrapClass*>(aClass);
    klass->Wrap = static_cast<const TWrap*>(aData);
    auto* element = GST_ELEMENT_CLASS(aClass);
    gst_element_class_set_metadata(element, klass->Wrap->LongName, klass->Wrap->Klass,
                                   "Test stand-in of a private filter", "Tessarine");
    GstElementFactory* inner = gst_element_factory_find(klass->Wrap->Inner);
    if (!inner)
        return;
    for (const GList* l = gst_element_factory_get_static_pad_templates(inner); l; l = l->next)
        gst_element_class_add_pad_template(
            element, gst_static_pad_template_get(static_cast<GstStaticPadTemplate*>(l->data)));
    gst_object_unref(inner);
}

// The inner element's pad, ghosted on ours under the same name and template.
inline GstPad* AddGhost(GstElement* aSelf, GstPad* aTarget, GstPadTemplate* aTemplate)
{
    GstPad* ghost = gst_ghost_pad_new_from_template(GST_PAD_NAME(aTarget), aTarget, aTemplate);
    gst_pad_set_active(ghost, TRUE);
    // What the inner pad already carries (stream start, caps) is seen on ours at once: the
    // stream id is what a pad is routed by. An inactive pad would refuse to store them.
    gst_pad_sticky_events_foreach(
        aTarget,
        [](GstPad*, GstEvent** aEvent, gpointer aGhost) -> gboolean {
            gst_pad_store_sticky_event(GST_PAD(aGhost), *aEvent);
            return TRUE;
        },
        ghost);
    gst_element_add_pad(aSelf, ghost);
    return ghost;
}

inline void InnerPadAdded(GstElement*, GstPad* aPad, gpointer aSelf)
{
    auto* self = GST_ELEMENT(aSelf);
    GstPadTemplate* ours = nullptr;
    if (GstPadTemplate* tmpl = gst_pad_get_pad_template(aPad)) {
        ours = gst_element_class_get_pad_template(GST_ELEMENT_GET_CLASS(self),
                                                  GST_PAD_TEMPLATE_NAME_TEMPLATE(tmpl));
        gst_object_unref(tmpl);
    }
    if (ours)
        g_object_set_data(G_OBJECT(aPad), "tess-ghost", AddGhost(self, aPad, ours));
}

inline void InnerPadRemoved(GstElement*, GstPad* aPad, gpointer aSelf)
{
    if (auto* ghost = static_cast<GstPad*>(g_object_steal_data(G_OBJECT(aPad), "tess-ghost")))
        gst_element_remove_pad(GST_ELEMENT(aSelf), ghost);
}

inline void InnerNoMorePads(GstElement*, gpointer aSelf)
{
    gst_element_no_more_pads(GST_ELEMENT(aSelf));
}

inline void WrapInit(GTypeInstance* aInstance, gpointer aClass)
{
    auto* self = GST_ELEMENT(aInstance);
    GstElement* inner =
        gst_element_factory_make(static_cast<TWrapClass*>(aClass)->Wrap->Inner, nullptr);
    if (!inner)
        return; // no pads: nothing links to it
    gst_bin_add(GST_BIN(self), inner);
    for (const GList* l = gst_element_class_get_pad_template_list(GST_ELEMENT_CLASS(aClass)); l;
         l = l->next) {
        auto* tmpl = static_cast<GstPadTemplate*>(l->data);
        if (GST_PAD_TEMPLATE_PRESENCE(tmpl) != GST_PAD_ALWAYS)
            continue;
        if (GstPad* target =
                gst_element_get_static_pad(inner, GST_PAD_TEMPLATE_NAME_TEMPLATE(tmpl))) {
            AddGhost(self, target, tmpl);
            gst_object_unref(target);
        }
    }
    g_signal_connect(inner, "pad-added", G_CALLBACK(InnerPadAdded), self);
    g_signal_connect(inner, "pad-removed", G_CALLBACK(InnerPadRemoved), self);
    g_signal_connect(inner, "no-more-pads", G_CALLBACK(InnerNoMorePads), self);
}

// Registers aWrap's factory at rank NONE; nothing when the inner factory is not installed, so
// that the module loads without it (the record is then "No BaseFilter").
inline void Register(GstPlugin* aPlugin, const TWrap& aWrap)
{
    GstElementFactory* inner = gst_element_factory_find(aWrap.Inner);
    if (!inner)
        return;
    gst_object_unref(inner);
    GType type = g_type_from_name(aWrap.TypeName);
    if (!type) {
        GTypeInfo info{};
        info.class_size = sizeof(TWrapClass);
        info.class_init = WrapClassInit;
        info.class_data = &aWrap;
        info.instance_size = sizeof(GstBin);
        info.instance_init = WrapInit;
        type = g_type_register_static(GST_TYPE_BIN, aWrap.TypeName, &info, GTypeFlags(0));
    }
    gst_element_register(aPlugin, aWrap.Factory, GST_RANK_NONE, type);
}

} // namespace TessPrivateSet
