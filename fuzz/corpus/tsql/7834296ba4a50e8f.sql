SELECT Distinct u1.FCustID,u1.FItemID,u1.FEntryID,t1.FName,
t1.FNumber,
t1.FModel,t2.FName AS FUnitName,u1.FStartQty,u1.FEndQty,u1.FPrice,
t3.FName AS FCyName,u1.FDiscount,u1.FLeadTime,
(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u2.FCurrencyID ELSE t1.FSoLowPrcMnyType End) as FSELCyID,
(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u3.FName ELSE u4.FName End) AS FSELCyName,
(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u2.FSELowPrice ELSE t1.FSoLowPrc End) as FSELowPrice,
u1.FQuoteTime,(CASE u1.Fused WHEN 1 THEN 'Y' ELSE ' ' END ) AS Fused
,u1.FNote,u1.FExpireDate FROM t_CustEntry u1 INNER JOIN t_Organization v1 on u1.FCustID=v1.FItemID
    INNER JOIN t_Cust u2 ON u1.FCustID=u2.FCustID AND u1.FItemID=u2.FItemID
    INNER JOIN t_ICItem t1 ON u2.FItemID=t1.FItemID
    INNER JOIN t_MeasureUnit t2 ON u1.FUnitID=t2.FItemID
    INNER JOIN t_Currency t3 ON u1.FCyID=t3.FCurrencyID
    INNER JOIN t_Currency u3 ON u3.FCurrencyID=u2.FCurrencyID
 left outer JOIN t_Currency u4 ON t1.FSoLowPrcMnyType=u4.FCurrencyID
 WHERE t1.FErpClsID not in (6,8) and u1.FCustID=1095
 ORDER BY t1.FNumber